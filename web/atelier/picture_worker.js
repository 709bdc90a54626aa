// The picture worker: decodes, draws and encodes pictures with the browser's
// own codecs, off the page's thread. It decides nothing: the module's rules,
// asked by picture_preparer.js, give every size, turn and encoding. The page
// starts it from a Blob URL of this file's text, so it stands alone.
//
// Requests, each answered with the same `id`:
//   {type: 'decode', job, blob, width, height, opacity, imageData}
//     -> {width, height, opaque, inflated}, or {error, inflated} when the
//     browser cannot decode it
//     decoded as the browser orients it (by a JPEG's EXIF or a PNG's eXIf), at
//     width x height when both are given, whole otherwise; kept for `job`.
//     With imageData {parts, inflatesTo}: how many bytes (up to inflatesTo)
//     the zlib stream made of those parts of the file gives before it fails.
//   {type: 'draw', job, width, height, orientation, background, encodings, jpegQuality}
//     -> {encoded: {type: ArrayBuffer}}: the job's picture at width x height
//     over the background colour (0xRRGGBB), turned or mirrored as an EXIF
//     orientation (1 to 8) says, encoded.
//   {type: 'drop', job} -> {}: the job's picture let go.
// A failure answers {error}.
'use strict';

const decodedPictures = new Map();

// Chromium and Firefox turn a JPEG by its EXIF orientation and a PNG by its
// eXIf chunk with 'from-image' (and, in some versions, with 'none' too): it is
// asked for by name, and the module knows what it did. A colour profile is
// ignored, as the native codecs ignore it. A reduction made by the decoder
// with 'high' quality averages what it drops (Firefox's drawImage aliases
// fine detail).
function decodeOptions(width, height) {
  const options = { imageOrientation: 'from-image', colorSpaceConversion: 'none', premultiplyAlpha: 'default' };
  if (width > 0 && height > 0) Object.assign(options, { resizeWidth: width, resizeHeight: height, resizeQuality: 'high' });
  return options;
}

function isOpaque(bitmap) {
  const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
  const context = canvas.getContext('2d', { willReadFrequently: true });
  context.drawImage(bitmap, 0, 0);
  const samples = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
  for (let at = 3; at < samples.length; at += 4) if (samples[at] !== 255) return false;
  return true;
}

async function inflatedBytes(blob, { parts, inflatesTo }) {
  const joined = new Blob(parts.map(([offset, size]) => blob.slice(offset, offset + size)));
  const reader = joined.stream().pipeThrough(new DecompressionStream('deflate')).getReader();
  let inflated = 0;
  try {
    while (inflated < inflatesTo) {
      const { done, value } = await reader.read();
      if (done) break;
      inflated += value.length;
    }
    await reader.cancel();
  } catch {
    // What came out before the damage is the answer.
  }
  return Math.min(inflated, inflatesTo);
}

async function decode({ job, blob, width, height, opacity, imageData }) {
  const [bitmap, inflated] = await Promise.all([
    createImageBitmap(blob, decodeOptions(width, height)).catch((error) => ({ refused: error })),
    imageData ? inflatedBytes(blob, imageData) : -1,
  ]);
  // A refusal comes with what the image data gave: the rules tell damage from it.
  if (bitmap.refused) return { error: String(bitmap.refused.message || bitmap.refused), inflated };
  decodedPictures.set(job, bitmap);
  return { width: bitmap.width, height: bitmap.height, opaque: opacity ? isOpaque(bitmap) : false, inflated };
}

// Maps the picture's width x height onto the canvas as EXIF `orientation`
// shows it, with whole numbers so that no pixel is resampled.
function orientationTransform(orientation, width, height) {
  switch (orientation) {
    case 2: return [-1, 0, 0, 1, width, 0];
    case 3: return [-1, 0, 0, -1, width, height];
    case 4: return [1, 0, 0, -1, 0, height];
    case 5: return [0, 1, 1, 0, 0, 0];
    case 6: return [0, 1, -1, 0, height, 0];
    case 7: return [0, -1, -1, 0, height, width];
    case 8: return [0, -1, 1, 0, 0, width];
    default: return [1, 0, 0, 1, 0, 0];
  }
}

function colourText(rgb) {
  return `#${(rgb & 0xffffff).toString(16).padStart(6, '0')}`;
}

async function encode(canvas, type, quality) {
  const blob = await canvas.convertToBlob({ type, quality });
  if (blob.type !== type) throw new Error(`this browser cannot encode ${type}`);
  return blob.arrayBuffer();
}

async function draw({ job, width, height, orientation, background, encodings, jpegQuality }) {
  let bitmap = decodedPictures.get(job);
  decodedPictures.delete(job);
  if (!bitmap) throw new Error('no decoded picture for this job');
  try {
    if (bitmap.width !== width || bitmap.height !== height) {
      const resized = await createImageBitmap(bitmap, { resizeWidth: width, resizeHeight: height, resizeQuality: 'high' });
      bitmap.close();
      bitmap = resized;
    }
    const sideways = orientation >= 5 && orientation <= 8;
    const canvas = new OffscreenCanvas(sideways ? height : width, sideways ? width : height);
    const context = canvas.getContext('2d', { alpha: false });
    context.fillStyle = colourText(background);
    context.fillRect(0, 0, canvas.width, canvas.height);
    context.imageSmoothingEnabled = false;
    context.setTransform(...orientationTransform(orientation, width, height));
    context.drawImage(bitmap, 0, 0);
    const encoded = {};
    for (const type of encodings) encoded[type] = await encode(canvas, type, jpegQuality / 100);
    return { encoded };
  } finally {
    bitmap.close();
  }
}

function drop({ job }) {
  decodedPictures.get(job)?.close();
  decodedPictures.delete(job);
  return {};
}

const handlers = { decode, draw, drop };

self.onmessage = async ({ data }) => {
  const { id } = data;
  try {
    const answer = await handlers[data.type](data);
    const transfer = answer.encoded ? Object.values(answer.encoded) : [];
    self.postMessage({ id, ...answer }, transfer);
  } catch (error) {
    self.postMessage({ id, error: String(error && error.message ? error.message : error) });
  }
};
