#!/usr/bin/env node
"use strict";
// The widget gallery: draws every widget of the signed-in account (the shared folder under
// XDG_DATA_HOME) in every family, light and dark, full colour and accented, plus each kind's
// placeholder and signed-out entry, through `vantorix-widgets serve`, and writes one static page
// (index.html, images in img/, the drawn widgets and their links in gallery.json).
//
//   node scripts/gallery/gallery.js --widgets PATH --out DIR [--tint #RRGGBB] [--now MS]
//
// Prints the page's path. Exit status 0 when every widget was drawn, 1 when a request or a
// drawing failed (the page is still written and says which), 2 for a bad command line.

const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { parseArgs } = require("node:util");
const { ServeClient } = require("./serve_client");
const { writePage } = require("./page");

const kSchemes = ["light", "dark"];
const kModes = ["full", "accented"];
const kDefaultTint = "#D9480F";

const usage =
  "usage: node scripts/gallery/gallery.js --widgets PATH --out DIR [--tint #RRGGBB] [--now MS]\n";

function readOptions(argv) {
  let values;
  try {
    ({ values } = parseArgs({
      args: argv,
      options: {
        widgets: { type: "string" },
        out: { type: "string" },
        tint: { type: "string", default: kDefaultTint },
        now: { type: "string" },
      },
      strict: true,
      allowPositionals: false,
    }));
  } catch (error) {
    throw new UsageError(error.message);
  }
  if (!values.widgets || !values.out) throw new UsageError("--widgets and --out are required");
  if (!/^#[0-9A-Fa-f]{6}$/.test(values.tint)) throw new UsageError("--tint takes #RRGGBB");
  if (values.now !== undefined && !/^[0-9]+$/.test(values.now)) {
    throw new UsageError("--now takes milliseconds since 1970");
  }
  return values;
}

class UsageError extends Error {}

// A file name part made only of characters every file system takes.
function namePart(text) {
  return String(text).replace(/[^A-Za-z0-9_-]/g, "_");
}

// What a group's entry is, when it carries no account data.
function entryNote(entry) {
  if (entry.snapshot) return null;
  return `No account data to draw: the widget shows "${entry.message}".`;
}

class Gallery {
  constructor(options, account, signedOut) {
    this.options = options;
    this.account = account;
    this.signedOut = signedOut;
    this.failures = [];
    this.imageFolder = path.join(options.out, "img");
  }

  fail(what, error) {
    this.failures.push(`${what}: ${error.message}`);
  }

  // Every family of the kind in every scheme and mode, for one entry.
  drawGroup(kind, group, entry) {
    const renders = [];
    for (const family of kind.families) {
      for (const scheme of kSchemes) {
        for (const mode of kModes) {
          const file = [kind.kind, group.subject, family, scheme, mode].map(namePart).join("-");
          const widget = { family, scheme, mode, image: `img/${file}.png` };
          group.widgets.push(widget);
          const request = {
            op: "render",
            kind: kind.kind,
            family,
            entry,
            scheme,
            mode,
            tint: this.options.tint,
            format: "png",
            scale: 2,
            out: path.resolve(this.imageFolder, `${file}.png`),
          };
          renders.push(
            this.account.call(request).then(
              (drawn) => Object.assign(widget, drawn && {
                size: drawn.size, pixels: drawn.pixels, date: drawn.date, links: drawn.links,
              }),
              (error) => {
                widget.error = error.message;
                this.fail(`drawing ${kind.kind} ${group.title} ${family} ${scheme} ${mode}`, error);
              }));
        }
      }
    }
    return Promise.all(renders);
  }

  // One group: its entry from `entryOf`, then its drawings; a failed request leaves a group
  // that says so.
  async group(kind, subject, title, entryOf, withData = true) {
    const group = { subject, title, widgets: [] };
    let entry;
    try {
      entry = await entryOf();
    } catch (error) {
      group.error = error.message;
      this.fail(`${kind.kind} ${title}`, error);
      return group;
    }
    if (withData) group.note = entryNote(entry);
    await this.drawGroup(kind, group, entry);
    return group;
  }

  // The configurations drawn for a kind: one per project when the kind shows one project.
  async configurations(kind) {
    const parameters = (kind.configuration && kind.configuration.parameters) || [];
    if (!parameters.some((parameter) => parameter.name === "project")) {
      return [{ subject: "account", title: "The account", configuration: {} }];
    }
    const projects = await this.account.call({ op: "projects" });
    if (projects.length === 0) {
      return [{ subject: "account", title: "No project to choose", configuration: {} }];
    }
    return projects.map((project) => ({
      subject: project.id,
      title: project.name,
      configuration: { project: project.id },
    }));
  }

  async section(kind) {
    const section = { kind: kind.kind, name: kind.name, groups: [] };
    let configurations = [];
    try {
      configurations = await this.configurations(kind);
    } catch (error) {
      this.fail(`${kind.kind} projects`, error);
    }
    const timeline = (client, configuration) => () =>
      client.call({ op: "timeline", kind: kind.kind, configuration }).then((answer) => {
        if (!answer.entries || answer.entries.length === 0) throw new Error("an empty timeline");
        return answer.entries[0];
      });
    const groups = configurations.map((c) =>
      this.group(kind, c.subject, c.title, timeline(this.account, c.configuration)));
    groups.push(this.group(kind, "placeholder", "Placeholder", () =>
      this.account.call({ op: "placeholder", kind: kind.kind }), false));
    groups.push(this.group(kind, "signed-out", "Signed out", timeline(this.signedOut, {}), false));
    section.groups = await Promise.all(groups);
    return section;
  }
}

async function main() {
  let options;
  try {
    options = readOptions(process.argv.slice(2));
  } catch (error) {
    if (!(error instanceof UsageError)) throw error;
    process.stderr.write(`gallery: ${error.message}\n${usage}`);
    return 2;
  }
  const widgetsArgs = options.now !== undefined ? ["--now", options.now] : [];
  fs.mkdirSync(path.join(options.out, "img"), { recursive: true });

  // The signed-out entries come from a process whose shared folder holds no session.
  const nobody = fs.mkdtempSync(path.join(os.tmpdir(), "vx-gallery-"));
  const account = new ServeClient(options.widgets, widgetsArgs, process.env);
  const signedOut = new ServeClient(options.widgets, widgetsArgs,
                                    { ...process.env, XDG_DATA_HOME: nobody });
  const gallery = new Gallery(options, account, signedOut);
  const sections = [];
  try {
    const kinds = await account.call({ op: "kinds" });
    for (const kind of kinds) sections.push(await gallery.section(kind));
  } catch (error) {
    gallery.fail("kinds", error);
  } finally {
    await Promise.all([account.close(), signedOut.close()]);
    fs.rmSync(nobody, { recursive: true, force: true });
  }

  const manifest = {
    tint: options.tint,
    notes: sections.flatMap((s) => s.groups.filter((g) => g.note)
      .map((g) => `${s.name}, ${g.title}: ${g.note}`)),
    failures: gallery.failures,
    sections,
  };
  const page = writePage(options.out, manifest);
  for (const failure of gallery.failures) process.stderr.write(`gallery: ${failure}\n`);
  process.stdout.write(`${page}\n`);
  return gallery.failures.length === 0 ? 0 : 1;
}

main().then(
  (status) => (process.exitCode = status),
  (error) => {
    process.stderr.write(`gallery: ${error.stack || error.message}\n`);
    process.exitCode = 1;
  });
