// Pictures prepared in the browser as the native preparation prepares them:
// the module's rules (zqp_*) decide every size, turn, kept file and encoding;
// the worker (picture_worker.js) decodes, draws and encodes off the page's
// thread. Several pictures may be in flight; a few are examined and decoded
// at a time, so that twelve large photos added at once do not hold twelve
// decoded bitmaps.
'use strict';

// module: the Atelier's module; workerSource: the text of picture_worker.js.
function createPicturePreparer(module, workerSource) {
  const PreparedKind = { jpeg: 1, png: 2 };
  const utf8 = new TextDecoder();
  const workerUrl = URL.createObjectURL(new Blob([workerSource], { type: 'text/javascript' }));
  const worker = new Worker(workerUrl);
  const waiting = new Map();  // request id -> resolve
  let lastRequest = 0;
  let lastJob = 0;
  let closed = false;

  function answerAll(answer) {
    for (const resolve of waiting.values()) resolve(answer);
    waiting.clear();
  }

  worker.onmessage = ({ data }) => {
    const resolve = waiting.get(data.id);
    waiting.delete(data.id);
    if (resolve) resolve(data);
  };
  worker.onerror = (event) => answerAll({ error: event.message || 'the picture worker stopped' });

  function request(message) {
    if (closed) return Promise.resolve({ error: 'the picture preparer is closed' });
    lastRequest += 1;
    const id = lastRequest;
    return new Promise((resolve) => {
      waiting.set(id, resolve);
      worker.postMessage({ id, ...message });
    });
  }

  // The module's answer (JSON) about the file's bytes, lent to it first.
  function ask(rule, bytes, ...numbers) {
    const at = module._zqp_buffer(bytes.length);
    module.HEAPU8.set(bytes, at);
    const address = rule(bytes.length, ...numbers);
    const heap = module.HEAPU8;
    let end = address;
    while (heap[end] !== 0) end += 1;
    return JSON.parse(utf8.decode(heap.subarray(address, end)));
  }

  // At most `slots` pictures between their decoding and their encoding.
  const slots = Math.max(2, Math.min(4, navigator.hardwareConcurrency || 2));
  let busy = 0;
  const queue = [];
  async function inSlot(work) {
    if (busy >= slots) await new Promise((resume) => queue.push(resume));
    busy += 1;
    try {
      return await work();
    } finally {
      busy -= 1;
      if (queue.length > 0) queue.shift()();
    }
  }

  async function drawn(job, facts, plan, background) {
    const answer = await request({
      type: 'draw', job, width: plan.width, height: plan.height, orientation: plan.orientation,
      background, encodings: plan.encodings, jpegQuality: plan.jpegQuality,
    });
    if (answer.error) return plan.failed;
    const jpeg = answer.encoded['image/jpeg'];
    const png = answer.encoded['image/png'];
    const kind = module._zqp_choose(facts.format, jpeg ? jpeg.byteLength : 0, png ? png.byteLength : 0);
    if (kind === PreparedKind.jpeg) return { kind, bytes: new Uint8Array(jpeg) };
    if (kind === PreparedKind.png) return { kind, bytes: new Uint8Array(png) };
    return plan.failed;
  }

  async function prepared(bytes, background, quarterTurns) {
    const facts = ask(module._zqp_examine, bytes, quarterTurns);
    if (facts.error) return { error: facts.error, reason: facts.reason };
    lastJob += 1;
    const job = lastJob;
    const decoded = await request({
      type: 'decode', job, blob: new Blob([bytes]), width: facts.width, height: facts.height, opacity: facts.opacity,
      imageData: facts.imageData,
    });
    // The browser's decoder refused it: no proof of damage, unless its image
    // data is (the rules say which); a worker that failed is no proof either.
    if (decoded.error) {
      return decoded.inflated === undefined ? facts.unreadable
        : ask(module._zqp_undecoded, bytes, decoded.inflated);
    }
    const plan = ask(module._zqp_plan, bytes, quarterTurns, decoded.width, decoded.height, decoded.opaque ? 1 : 0,
      decoded.inflated);
    if (plan.error || plan.keep) {
      request({ type: 'drop', job });
      return plan.error ? { error: plan.error, reason: plan.reason } : { kind: plan.keep, bytes: bytes.slice() };
    }
    return drawn(job, facts, plan, background);
  }

  return {
    // bytes: the file (Uint8Array, left as it is); background: 0xRRGGBB;
    // quarterTurns: the author's, clockwise. A promise of {name, kind: 1 JPEG
    // or 2 PNG, bytes} or of {name, error: why it cannot be used, in English
    // as the native preparation says it, reason: that reason typed, as the
    // module's rules gave it, for api.offerPrepared (the French is the
    // document's)}; a failure of the page's own comes with no reason.
    async prepare(name, bytes, background, quarterTurns = 0) {
      if (!(bytes instanceof Uint8Array)) bytes = new Uint8Array(bytes);
      // Examined in its turn too, so that a dozen files added at once do not
      // hold the page's thread together.
      const result = await inSlot(() => prepared(bytes, background, quarterTurns));
      return { name, ...result };
    },
    close() {
      closed = true;
      answerAll({ error: 'the picture preparer is closed' });
      worker.terminate();
      URL.revokeObjectURL(workerUrl);
    },
  };
}
