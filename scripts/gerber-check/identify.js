// Says what a board house's tools take each file named on the command line for: one line a file,
// "name<TAB>type<TAB>side<TAB>content", where type and side are the layer its name alone tells
// and content what the file holds, "gerber" or "drill" ("null" for what is not told).
'use strict'

const fs = require('fs')
const path = require('path')
const {identifyLayers} = require('@tracespace/identify-layers')
const {parse} = require('@tracespace/parser')

function contentOf(file) {
  try {
    return parse(fs.readFileSync(file, 'utf8')).filetype
  } catch (e) {
    return null
  }
}

const files = process.argv.slice(2)
const layers = identifyLayers(files.map((file) => path.basename(file)))
for (const file of files) {
  const name = path.basename(file)
  console.log(`${name}\t${layers[name].type}\t${layers[name].side}\t${contentOf(file)}`)
}
