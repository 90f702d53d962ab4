'use strict';
// Headless Chromium driven over its DevTools pipe (file descriptors 3 and 4, messages ended by a
// NUL byte): no port, no network, no package beyond Debian's chromium.

const { spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

class HeadlessBrowser {
  constructor(program) {
    this.profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vx-chromium-'));
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.stderr = '';
    this.child = spawn(program, [
      '--headless', '--no-sandbox', '--disable-gpu', '--remote-debugging-pipe',
      `--user-data-dir=${this.profile}`, '--no-first-run', '--no-default-browser-check',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-extensions', '--hide-scrollbars', '--mute-audio', 'about:blank',
    ], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    this.child.stdio[2].on('data', (chunk) => (this.stderr += chunk));
    this.exited = new Promise((resolve) => this.child.once('exit', resolve));
    this.child.once('exit', (code, signal) => {
      const reason = `chromium ended (${signal || code}): ${this.stderr.slice(-2000)}`;
      for (const waiting of this.pending.values()) waiting.reject(new Error(reason));
      this.pending.clear();
    });
    let buffer = Buffer.alloc(0);
    this.child.stdio[4].on('data', (chunk) => {
      buffer = Buffer.concat([buffer, chunk]);
      for (let end = buffer.indexOf(0); end >= 0; end = buffer.indexOf(0)) {
        this.receive(JSON.parse(buffer.subarray(0, end).toString('utf8')));
        buffer = buffer.subarray(end + 1);
      }
    });
  }

  receive(message) {
    if (message.id !== undefined) {
      const waiting = this.pending.get(message.id);
      if (!waiting) return;
      this.pending.delete(message.id);
      if (message.error) waiting.reject(new Error(`${waiting.method}: ${message.error.message}`));
      else waiting.resolve(message.result);
      return;
    }
    for (const listener of this.listeners) listener(message);
  }

  // One DevTools command, on the page session `sessionId` when given.
  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.child.stdio[3].write(JSON.stringify(message) + '\0');
    });
  }

  // Resolves with the first event named `method` of session `sessionId`.
  once(method, sessionId) {
    return new Promise((resolve) => {
      const listener = (message) => {
        if (message.method !== method || message.sessionId !== sessionId) return;
        this.listeners.splice(this.listeners.indexOf(listener), 1);
        resolve(message.params);
      };
      this.listeners.push(listener);
    });
  }

  // Opens `url` in a new page of the given viewport and waits for its load event; answers the
  // page's session id.
  async open(url, width, height) {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    await this.send('Page.enable', {}, sessionId);
    await this.send('Emulation.setDeviceMetricsOverride',
                    { width, height, deviceScaleFactor: 1, mobile: false }, sessionId);
    const loaded = this.once('Page.loadEventFired', sessionId);
    await this.send('Page.navigate', { url }, sessionId);
    await loaded;
    return sessionId;
  }

  // The value of an expression evaluated in the page (awaited when it is a promise).
  async evaluate(sessionId, expression) {
    const answer = await this.send('Runtime.evaluate',
                                   { expression, awaitPromise: true, returnByValue: true },
                                   sessionId);
    if (answer.exceptionDetails) {
      throw new Error(`in the page: ${JSON.stringify(answer.exceptionDetails).slice(0, 2000)}`);
    }
    return answer.result.value;
  }

  async screenshot(sessionId, file) {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png' }, sessionId);
    fs.writeFileSync(file, Buffer.from(data, 'base64'));
  }

  async close() {
    try {
      await this.send('Browser.close');
    } catch {
      // already gone
    }
    const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
    await this.exited;
    clearTimeout(timer);
    fs.rmSync(this.profile, { recursive: true, force: true });
  }
}

module.exports = { HeadlessBrowser };
