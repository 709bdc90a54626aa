// The Atelier's pictures prepared in Debian's Chromium and Firefox (the
// module's rules, the browser's codecs in a worker started from a Blob URL
// under the page's Content-Security-Policy), each compared with what the
// native preparation (quizmake pack) makes of the same picture: the same kind
// and size, the same bytes where the file is kept, the pixels within JPEG's
// loss, the same refusal. All the pictures of a browser are prepared at once.
// Ends with "atelier picture tests: N passed, M failed".
//
// Environment: ZORBEL_ATELIER_MODULE, the Atelier's module; ZORBEL_QUIZMAKE,
// a native quizmake.
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import zlib from 'node:zlib';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
const modulePath = process.env.ZORBEL_ATELIER_MODULE || path.join(root, 'build/native/web/atelier/zorbel_atelier_module.js');
const quizmake = process.env.ZORBEL_QUIZMAKE || path.join(root, 'build/native/tools/quizmake/quizmake');
const work = mkdtempSync(path.join(os.tmpdir(), 'atelier-pictures-'));
const at = (name) => path.join(work, name);

// --- The pictures --------------------------------------------------------------

const quadrants = (w, h) => ['-size', `${w}x${h}`, 'xc:rgb(230,210,40)',
  '-fill', 'rgb(220,40,40)', '-draw', `rectangle 0,0 ${w / 2 - 1},${h / 2 - 1}`,
  '-fill', 'rgb(40,180,60)', '-draw', `rectangle ${w / 2},0 ${w - 1},${h / 2 - 1}`,
  '-fill', 'rgb(40,60,200)', '-draw', `rectangle 0,${h / 2} ${w / 2 - 1},${h - 1}`, '-strip'];
const convert = (...args) => execFileSync('convert', args);
convert(...quadrants(320, 240), '-interlace', 'none', '-quality', '90', at('small.jpg'));
convert(...quadrants(200, 150), 'PNG24:' + at('small.png'));
convert(...quadrants(1000, 800), 'PNG24:' + at('wide.png'));
convert(at('wide.png'), '-define', 'webp:lossless=true', at('wide.webp'));
convert(at('wide.png'), '-rotate', '-90', 'PNG24:' + at('wide_left.png'));
convert(at('wide.png'), '-quality', '90', at('wide.avif'));
// Shading above, a checkerboard of single pixels below: a reduction that drops
// pixels instead of averaging them shows a pattern where the native one is grey.
convert('-size', '4000x1500', 'gradient:rgb(200,60,40)-rgb(30,90,200)', '(', '-size', '4000x1500', 'pattern:gray50', ')',
  '-append', '-interlace', 'none', '-quality', '90', at('large.jpg'));
for (const name of ['sideways.jpg', 'transparent.png', 'picture.gif']) {
  writeFileSync(at(name), readFileSync(path.join(root, 'tests/data/pictures', name)));
}
const small = readFileSync(at('small.jpg'));
// The small JPEG stored as it is and marked "turn a quarter clockwise to show"
// (EXIF orientation 6, big-endian), right after its start of image.
const exifSix = Buffer.from('ffe10022457869660000' + '4d4d002a00000008000101120003000000010006000000000000', 'hex');
writeFileSync(at('small_exif6.jpg'), Buffer.concat([small.subarray(0, 2), exifSix, small.subarray(2)]));
// The same TIFF block in a PNG's eXIf chunk, before its image data: browsers
// obey it, the native preparation (and the player) do not.
const wide = readFileSync(at('wide.png'));
const exifChunk = Buffer.concat([Buffer.from('eXIf'), exifSix.subarray(10)]);
const chunkLength = Buffer.alloc(4);
chunkLength.writeUInt32BE(exifChunk.length - 4);
const chunkCrc = Buffer.alloc(4);
chunkCrc.writeUInt32BE(zlib.crc32(exifChunk));
const wideData = wide.indexOf('IDAT') - 4;
writeFileSync(at('wide_exif6.png'), Buffer.concat([wide.subarray(0, wideData), chunkLength, exifChunk, chunkCrc,
  wide.subarray(wideData)]));
writeFileSync(at('cut.jpg'), small.subarray(0, Math.floor(small.length * 0.6)));
const damaged = Buffer.from(readFileSync(at('small.png')));
const imageData = damaged.indexOf('IDAT') + 4;
damaged.fill(0xff, imageData + 2, imageData + 40);
writeFileSync(at('damaged.png'), damaged);
writeFileSync(at('notes.txt'), 'Capitales : Paris, Rome, Berne.\n');

// `native`: the file quizmake prepares when it differs from the browser's (a
// format this system does not read, or the author's turn as an EXIF one).
const Background = 0x3366cc;
const cases = [
  { name: 'a small baseline JPEG kept byte for byte', file: 'small.jpg' },
  { name: 'a small opaque PNG kept byte for byte', file: 'small.png' },
  { name: 'a 4000 x 3000 JPEG fitted to 640 x 480', file: 'large.jpg', tolerance: 3 },
  { name: 'a JPEG of EXIF orientation 6 stored upright', file: 'sideways.jpg', tolerance: 3 },
  { name: 'a transparent PNG flattened on the background', file: 'transparent.png', tolerance: 1 },
  { name: 'a JPEG turned a quarter by its author', file: 'small.jpg', quarterTurns: 1, native: 'small_exif6.jpg', tolerance: 3 },
  { name: 'a GIF', file: 'picture.gif', tolerance: 1 },
  { name: 'a lossless WebP of 1000 x 800 fitted', file: 'wide.webp', native: 'wide.png', tolerance: 1 },
  { name: 'an AVIF of 1000 x 800 fitted, stored as a photo', file: 'wide.avif', tolerance: 3 },
  { name: 'a PNG whose eXIf chunk says turn, fitted unturned', file: 'wide_exif6.png', tolerance: 1 },
  { name: 'the same turned a quarter by its author', file: 'wide_exif6.png', quarterTurns: 3, native: 'wide_left.png',
    tolerance: 1 },
  { name: 'a JPEG cut short refused', file: 'cut.jpg' },
  { name: 'a PNG with damaged data refused', file: 'damaged.png' },
  { name: 'a text file refused', file: 'notes.txt' },
];

// What quizmake pack makes of one picture: {kind, bytes} or {error}.
function nativelyPrepared(file, background) {
  const rgb = [background >> 16, (background >> 8) & 255, background & 255];
  const folder = at(`native-${file.replace(".", "-")}`);
  writeFileSync(`${folder}.toml`, `name = "p"\nbackground = [${rgb}]\n[[question]]\nanswer = "a"\npicture = "${file}"\n`);
  const run = spawnSync(quizmake, ['pack', `${folder}.toml`, folder], { encoding: 'utf8' });
  if (run.status !== 0) return { error: run.stderr.trim().replace(/^.*question 1: /s, '') };
  const picture = readdirSync(folder).find((name) => /^401\./.test(name));
  return { kind: picture.endsWith('.jpg') ? 1 : 2, bytes: readFileSync(path.join(folder, picture)).toString('base64') };
}
for (const c of cases) c.expected = nativelyPrepared(c.native || c.file, Background);

// --- The page ---------------------------------------------------------------------

const source = (name) => readFileSync(path.join(root, 'web/atelier', name), 'utf8');
writeFileSync(at('harness.html'), `<!doctype html>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; script-src 'unsafe-inline' 'wasm-unsafe-eval'; worker-src blob:">
<script type="text/plain" id="picture-worker">${source('picture_worker.js')}</script>
<script>${readFileSync(modulePath, 'utf8')}</script>
<script>${source('picture_preparer.js')}</script>
<script>
window.violations = [];
document.addEventListener('securitypolicyviolation', (event) => window.violations.push(event.violatedDirective));
window.preparerReady = (async () =>
  createPicturePreparer(await ZorbelAtelierModule(), document.getElementById('picture-worker').textContent))();
</script>`);

// In the page: every case prepared at once, then each result set beside the native one.
async function prepareAndCompare(cases, background) {
  const bytesOf = (base64) => Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  async function pixelsOf(bytes) {
    const bitmap = await createImageBitmap(new Blob([bytes]));
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    return context.getImageData(0, 0, bitmap.width, bitmap.height);
  }
  function meanDifference(a, b) {
    let sum = 0;
    for (let i = 0; i < a.data.length; i += 1) if (i % 4 !== 3) sum += Math.abs(a.data[i] - b.data[i]);
    return sum / (a.data.length * 0.75);
  }
  const preparer = await window.preparerReady;
  const results = await Promise.all(cases.map((c) => preparer.prepare(c.file, bytesOf(c.bytes), background, c.quarterTurns || 0)));
  const compared = [];
  for (const [i, result] of results.entries()) {
    const expected = cases[i].expected;
    if (result.error || expected.error) {
      compared.push({ error: result.error || null });
      continue;
    }
    const nativeBytes = bytesOf(expected.bytes);
    const [mine, theirs] = [await pixelsOf(result.bytes), await pixelsOf(nativeBytes)];
    const sameSize = mine.width === theirs.width && mine.height === theirs.height;
    compared.push({
      kind: result.kind, width: mine.width, height: mine.height,
      sameBytes: result.bytes.length === nativeBytes.length && result.bytes.every((byte, k) => byte === nativeBytes[k]),
      difference: sameSize ? meanDifference(mine, theirs) : null,
    });
  }
  preparer.close();
  return { compared, violations: window.violations };
}

// --- The checks -------------------------------------------------------------------

// What a refusal says before the reader's own words (after a colon, or in
// parentheses): its reason and the picture's format, as typed by the rules.
const refusalWords = (line) => line.replace(/ \(.*\)$/, '').replace(/:.*$/, '');

function problems(c, got, expected) {
  const said = [];
  if (expected.error) {
    if (!got.error) said.push(`prepared, where the native preparation says "${expected.error}"`);
    else if (refusalWords(got.error) !== refusalWords(expected.error)) said.push(`"${got.error}", native "${expected.error}"`);
    return said;
  }
  if (got.error) return [`refused: "${got.error}"`];
  const native = Buffer.from(expected.bytes, 'base64');
  const nativeKept = native.equals(readFileSync(at(c.file)));
  if (got.kind !== expected.kind) said.push(`kind ${got.kind}, native ${expected.kind}`);
  if (nativeKept !== got.sameBytes) said.push(nativeKept ? 'its bytes were not kept' : 'its bytes differ from native');
  if (got.difference === null) said.push(`${got.width} x ${got.height}, not the native size`);
  else if (!nativeKept && got.difference > c.tolerance) said.push(`pixels differ by ${got.difference.toFixed(2)} on average`);
  return said;
}

const browsers = [
  { name: 'chromium', options: { browser: 'chrome', executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--no-first-run'] } },
  { name: 'firefox', options: { browser: 'firefox', executablePath: '/usr/bin/firefox-esr' } },
];
let passed = 0;
let failed = 0;
const given = cases.map((c) => ({ file: c.file, quarterTurns: c.quarterTurns, expected: c.expected,
  bytes: readFileSync(at(c.file)).toString('base64') }));
for (const { name, options } of browsers) {
  const browser = await puppeteer.launch({ headless: true, ...options });
  try {
    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    await page.goto(pathToFileURL(at('harness.html')).href);
    const { compared, violations } = await page.evaluate(prepareAndCompare, given, Background);
    for (const [i, c] of cases.entries()) {
      const said = problems(c, compared[i], c.expected);
      if (said.length === 0) passed += 1; else failed += 1;
      const measured = compared[i].difference != null ? ` (mean difference ${compared[i].difference.toFixed(2)})` : '';
      console.log(`${said.length === 0 ? 'ok  ' : 'FAIL'} ${name}: ${c.name}${said.length ? ` (${said.join('; ')})` : measured}`);
    }
    const pageProblems = [...violations.map((v) => `policy violation: ${v}`), ...errors];
    if (pageProblems.length === 0) passed += 1; else failed += 1;
    console.log(`${pageProblems.length === 0 ? 'ok  ' : 'FAIL'} ${name}: the page's policy and scripts${pageProblems.length ? ` (${pageProblems.join('; ')})` : ''}`);
  } catch (error) {
    failed += 1;
    console.log(`FAIL ${name}: ${error.message}`);
  } finally {
    await browser.close();
  }
}
rmSync(work, { recursive: true, force: true });
console.log(`atelier picture tests: ${passed} passed, ${failed} failed`);
process.exitCode = failed === 0 ? 0 : 1;
