"use strict";
// One `vantorix-widgets serve` process: requests go out as JSON lines, answers come back by id.

const { spawn } = require("node:child_process");
const readline = require("node:readline");

class ServeClient {
  // `program`: the vantorix-widgets executable; `args`: options after `serve`; `env`: its
  // environment (the shared folder comes from XDG_DATA_HOME).
  constructor(program, args, env) {
    this.pending = new Map();
    this.nextId = 1;
    this.stderr = "";
    this.exited = null;
    this.child = spawn(program, ["serve", ...args], { env, stdio: ["pipe", "pipe", "pipe"] });
    this.child.stderr.on("data", (chunk) => (this.stderr += chunk));
    this.child.on("error", (error) => {
      this.exited = this.exited || `not started: ${error.message}`;
      this.failAll(`cannot run ${program}: ${error.message}`);
    });
    // Writing to a process that has ended: its exit already failed what was waiting.
    this.child.stdin.on("error", () => {});
    this.child.on("exit", (code, signal) => {
      this.exited = signal ? `killed by ${signal}` : `exit status ${code}`;
      const reason = this.stderr.trim() || this.exited;
      this.failAll(`vantorix-widgets serve ended before answering (${reason})`);
    });
    readline.createInterface({ input: this.child.stdout }).on("line", (line) => this.answer(line));
  }

  answer(line) {
    let message;
    try {
      message = JSON.parse(line);
    } catch {
      this.failAll(`vantorix-widgets serve printed a line that is not JSON: ${line}`);
      return;
    }
    const waiting = this.pending.get(message.id);
    if (!waiting) return;
    this.pending.delete(message.id);
    if ("error" in message) waiting.reject(new Error(String(message.error)));
    else waiting.resolve(message.result);
  }

  failAll(reason) {
    for (const waiting of this.pending.values()) waiting.reject(new Error(reason));
    this.pending.clear();
  }

  // Sends one request (without its id) and resolves with its result; an error answer rejects.
  call(request) {
    if (this.exited) {
      return Promise.reject(new Error(`vantorix-widgets serve is not running (${this.exited})`));
    }
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject });
      this.child.stdin.write(JSON.stringify({ ...request, id }) + "\n");
    });
  }

  // Ends the input and waits for the process to finish what it was given.
  close() {
    return new Promise((resolve) => {
      if (this.exited) return resolve();
      this.child.once("exit", () => resolve());
      this.child.once("error", () => resolve());
      this.child.stdin.end();
    });
  }
}

module.exports = { ServeClient };
