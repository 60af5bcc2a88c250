// Reads each Gerber file named on the command line with two independent readers, a parser and
// a plotter fed by it, and prints every warning and error they give, one a line, with the file.
// Exits with 1 when there was any, so that a file only passes when both take it silently.
'use strict'

const fs = require('fs')
const gerberParser = require('gerber-parser')
const gerberPlotter = require('gerber-plotter')

function check(file) {
  return new Promise((resolve) => {
    const complaints = []
    const say = (who) => (w) =>
      complaints.push(`${file}: ${who} ${w.line !== undefined ? 'line ' + w.line + ': ' : ''}${w.message}`)
    const parser = gerberParser()
    const plotter = gerberPlotter()
    parser.on('warning', say('parser warning'))
    plotter.on('warning', say('plotter warning'))
    let done = false
    const finish = () => {
      if (!done) {
        done = true
        resolve(complaints)
      }
    }
    const fail = (who) => (e) => {
      complaints.push(`${file}: ${who} error: ${e.message}`)
      finish()
    }
    parser.on('error', fail('parser'))
    plotter.on('error', fail('plotter'))
    const input = fs.createReadStream(file)
    input.on('error', fail('read'))
    let shapes = 0
    input.pipe(parser).pipe(plotter)
    plotter.on('data', () => ++shapes)
    plotter.on('end', () => {
      if (parser.format && parser.format.filetype !== 'gerber')
        complaints.push(`${file}: parser took it for ${parser.format.filetype}`)
      finish()
    })
  })
}

async function main() {
  const files = process.argv.slice(2)
  let failed = false
  for (const file of files) {
    for (const line of await check(file)) {
      failed = true
      console.log(line)
    }
  }
  process.exit(failed ? 1 : 0)
}

main()
