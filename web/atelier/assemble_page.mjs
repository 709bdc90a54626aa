// Writes atelier.html: the page's template with its style, scripts, the
// compiled module and, when given, the player a saved quiz carries (base64).
// Usage: node assemble_page.mjs OUT VERSION TEMPLATE STYLE MODULE API PREPARER WORKER SCRIPT [PLAYER]
import { readFileSync, writeFileSync } from 'node:fs';

const [out, version, template, style, moduleJs, api, preparer, worker, script, player] = process.argv.slice(2);
const text = (path) => readFileSync(path, 'utf8');
// A script's text may not close its element early.
const scriptText = (path) => text(path).replace(/<\/script/gi, '<\\/script');

const parts = {
  VERSION: version,
  STYLE: text(style),
  MODULE: scriptText(moduleJs),
  API: scriptText(api),
  PREPARER: scriptText(preparer),
  WORKER: scriptText(worker),
  SCRIPT: scriptText(script),
  PLAYER: player ? readFileSync(player).toString('base64') : '',
};
const page = text(template).replace(/\{\{([A-Z]+)\}\}/g, (whole, name) => (name in parts ? parts[name] : whole));
writeFileSync(out, page);
