'use strict';
// Helpers the node tests share: a scratch folder per test, waiting for a condition, and the size
// of a PNG file.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

// A fresh folder under the system's temporary folder, removed with everything in it when the
// test `t` ends.
function scratch(t) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vx-test-'));
  t.after(() => fs.rmSync(dir, { recursive: true, force: true }));
  return dir;
}

// Waits for `check` to give something true and answers it; the bound only stops a hung test.
async function until(check, what) {
  for (let i = 0; i < 600; i++) {
    const value = check();
    if (value) return value;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  assert.fail(`gave up waiting for ${what}`);
}

// Width and height from a PNG file's header.
function pngSize(file) {
  const bytes = fs.readFileSync(file);
  assert.equal(bytes.subarray(1, 4).toString('latin1'), 'PNG', `${file} is a PNG`);
  return [bytes.readUInt32BE(16), bytes.readUInt32BE(20)];
}

module.exports = { scratch, until, pngSize };
