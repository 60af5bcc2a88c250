// Reads each Gerber file named on the command line with two independent pairs of readers, a
// parser and a plotter fed by it in each pair, and prints every warning and error they give, one
// a line, with the file. The second pair, behind many board previews, says nothing when it drops
// part of an image, so its plot is held against the file itself: every flash of the file must
// appear in it with every primitive of its aperture. Exits with 1 when there was any complaint,
// so that a file only passes when all four take it silently and whole.
'use strict'

const fs = require('fs')
const gerberParser = require('gerber-parser')
const gerberPlotter = require('gerber-plotter')
const tracespaceParser = require('@tracespace/parser')
const tracespacePlotter = require('@tracespace/plotter')

// Complaints of one kind beyond this many are counted, not listed.
const listedLosses = 5

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

// What the file says, read block by block on its own: the primitives of each aperture macro, the
// template of each D-code, and every flash with the D-code it uses, in file order.
function readFlashes(text) {
  const macros = new Map()
  const templates = new Map()
  const flashes = []
  let current
  let line = 1
  let at = 0
  const advance = (stop) => {
    for (let k = at; k < stop && k < text.length; ++k) if (text[k] === '\n') ++line
    at = stop
  }
  while (at < text.length) {
    if (/\s/.test(text[at])) {
      advance(at + 1)
      continue
    }
    const start = line
    if (text[at] === '%') {
      const close = text.indexOf('%', at + 1)
      const stop = close < 0 ? text.length : close
      const blocks = text.slice(at + 1, stop).split('*').map((b) => b.trim())
      advance(stop + 1)
      if (blocks[0].startsWith('AM')) {
        // Code 0 is a comment and $n= sets a variable: neither draws.
        const primitives = blocks.slice(1).filter((b) => b !== '' && !/^0(\s|$)/.test(b) && !b.startsWith('$'))
        macros.set(blocks[0].slice(2).replace(/\s+/g, ''), primitives.length)
        continue
      }
      for (const block of blocks) {
        const definition = /^ADD(\d+)([^,]*)/.exec(block.replace(/\s+/g, ''))
        if (definition) templates.set(Number(definition[1]), definition[2])
      }
      continue
    }
    const end = text.indexOf('*', at)
    const stop = end < 0 ? text.length : end
    const block = text.slice(at, stop).replace(/\s+/g, '')
    advance(stop + 1)
    if (block.startsWith('G04')) continue
    const select = /^(?:G54)?D0*(\d+)$/.exec(block)
    if (select && Number(select[1]) >= 10) current = Number(select[1])
    else if (/^(?:G0?[123])?(?:[XYIJ][+-]?[\d.]+)*D0*3$/.test(block)) flashes.push({line: start, code: current})
  }
  return {macros, templates, flashes}
}

// Reads the file with the tracespace parser and plotter and holds the plot against the file.
function checkTracespace(file) {
  const complaints = []
  let text
  try {
    text = fs.readFileSync(file, 'latin1')
  } catch (e) {
    return [`${file}: read error: ${e.message}`]
  }
  let image
  try {
    const tree = tracespaceParser.parse(text)
    if (tree.filetype !== 'gerber') complaints.push(`${file}: tracespace parser took it for ${tree.filetype}`)
    image = tracespacePlotter.plot(tree)
  } catch (e) {
    return [...complaints, `${file}: tracespace error: ${e.message}`]
  }
  const {macros, templates, flashes} = readFlashes(text)
  const shapes = image.children.filter((c) => c.type === 'imageShape')
  if (shapes.length !== flashes.length)
    complaints.push(`${file}: tracespace plotter plots ${shapes.length} of the file's ${flashes.length} flashes`)
  const losses = []
  for (let k = 0; k < Math.min(shapes.length, flashes.length); ++k) {
    const {line, code} = flashes[k]
    const template = templates.get(code)
    const wanted = macros.has(template) ? macros.get(template) : 1
    const shape = shapes[k].shape
    const got = shape.type === 'layeredShape' ? shape.shapes.length : 1
    if (got < wanted)
      losses.push(`${file}: tracespace plotter line ${line}: the flash of D${code} plots ${got} of its ${wanted} primitives`)
  }
  complaints.push(...losses.slice(0, listedLosses))
  if (losses.length > listedLosses)
    complaints.push(`${file}: tracespace plotter: ${losses.length} of ${flashes.length} flashes lose primitives`)
  return complaints
}

async function main() {
  const files = process.argv.slice(2)
  let failed = false
  for (const file of files) {
    for (const line of [...(await check(file)), ...checkTracespace(file)]) {
      failed = true
      console.log(line)
    }
  }
  process.exit(failed ? 1 : 0)
}

main()
