// Looks at generated album pages in headless Chromium, over its DevTools
// protocol, the way readers' browsers show them:
//  - how many image pixels each device pixel of a picture is drawn from, at
//    device scale 1 and 2, on a laptop and a phone screen;
//  - axe-core's WCAG 2 A and AA rules (serious and critical findings fail);
//  - keyboard focus that is visible and not cut off, width and height on
//    every img, no content moving while pictures load, lazy thumbnails,
//    one-line captions shown on phones, and the swipe to the next picture.
// Usage: node album_check.mjs CHROMIUM ALBUMS.json
// ALBUMS.json: {"albums": [{"name", "pages": {"index": [...], "chapter": [...],
//        "picture": [...]}, "sharpPicture": bool}]}, pages as absolute paths.
// Prints one line per finding and a summary; exit 1 when anything failed.
import { spawn } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, dirname } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";
import WebSocket from "ws";

const here = dirname(fileURLToPath(import.meta.url));
const axeSource = readFileSync(join(here, "node_modules/axe-core/axe.min.js"), "utf8");

// The figures a page must reach.
const SHARP_AT_2X = 0.95; // image pixels per device pixel at device scale 2
const UNSTRETCHED_AT_1X = 0.99; // at scale 1 (a pixel of rounding allowed)
const MOST_SHIFT = 0.01; // cumulative layout shift while pictures load
const LAPTOP = { width: 1366, height: 768 };
const PHONE = { width: 390, height: 844 };

const [browserPath, albumsPath] = process.argv.slice(2);
const plan = JSON.parse(readFileSync(albumsPath, "utf8"));
const failures = [];
const found = new Set(); // "album page-kind view picture-kind" of every picture measured
const notes = [];
const fail = (where, what) => failures.push(`FAIL ${where}: ${what}`);
let axeRules = 0;

// ------------------------------------------------------------------ browser

async function startBrowser() {
  const profile = mkdtempSync(join(tmpdir(), "album-check-"));
  const child = spawn(browserPath, [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--hide-scrollbars", "--mute-audio", `--user-data-dir=${profile}`,
    "--remote-debugging-port=0", "about:blank",
  ], { stdio: ["ignore", "ignore", "pipe"], detached: true });
  const endpoint = await new Promise((resolve, reject) => {
    let text = "";
    const timer = setTimeout(() => reject(new Error("Chromium did not start: " + text)), 60000);
    child.stderr.on("data", (chunk) => {
      text += chunk;
      const match = /DevTools listening on (ws:\/\/\S+)/.exec(text);
      if (match) { clearTimeout(timer); resolve(match[1]); }
    });
    child.on("exit", (code) => reject(new Error(`Chromium ended (${code}): ${text}`)));
  });
  const ended = new Promise((resolve) => child.on("exit", resolve));
  const stop = async () => {
    // The whole group: Chromium's helper processes may still be writing to
    // the profile after the browser process itself has gone.
    try { process.kill(-child.pid, "SIGKILL"); } catch { child.kill("SIGKILL"); }
    await ended;
    try {
      rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
    } catch (error) {
      console.error(`note: the browser profile ${profile} stays behind: ${error.message}`);
    }
  };
  return { endpoint, stop };
}

class Session {
  constructor(url) {
    this.socket = new WebSocket(url, { perMessageDeflate: false, maxPayload: 256 * 1024 * 1024 });
    this.next = 1;
    this.pending = new Map();
    this.waiters = [];
    this.socket.on("message", (data) => {
      const message = JSON.parse(data);
      if (message.id && this.pending.has(message.id)) {
        const { resolve, reject } = this.pending.get(message.id);
        this.pending.delete(message.id);
        if (message.error) reject(new Error(JSON.stringify(message.error)));
        else resolve(message.result);
      } else if (message.method) {
        this.waiters = this.waiters.filter((w) => !(w.method === message.method && (w.resolve(message.params), true)));
      }
    });
  }
  open() { return new Promise((resolve, reject) => { this.socket.once("open", resolve); this.socket.once("error", reject); }); }
  send(method, params = {}) {
    const id = this.next++;
    this.socket.send(JSON.stringify({ id, method, params }));
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
  }
  once(method, timeout = 30000) {
    return new Promise((resolve, reject) => {
      const waiter = { method, resolve };
      this.waiters.push(waiter);
      setTimeout(() => { this.waiters = this.waiters.filter((w) => w !== waiter); reject(new Error("timeout waiting for " + method)); }, timeout);
    });
  }
  async evaluate(expression) {
    const result = await this.send("Runtime.evaluate", { expression, awaitPromise: true, returnByValue: true });
    if (result.exceptionDetails) throw new Error(JSON.stringify(result.exceptionDetails).slice(0, 500));
    return result.result.value;
  }
  close() { this.socket.close(); }
}

async function openPage(endpoint) {
  const port = new URL(endpoint).port;
  const response = await fetch(`http://127.0.0.1:${port}/json/list`);
  const page = (await response.json()).find((target) => target.type === "page");
  const session = new Session(page.webSocketDebuggerUrl);
  await session.open();
  await session.send("Page.enable");
  await session.send("Runtime.enable");
  return session;
}

async function load(session, path, screen, scale, mobile) {
  await session.send("Emulation.setDeviceMetricsOverride", {
    width: screen.width, height: screen.height, deviceScaleFactor: scale, mobile,
  });
  await session.send("Emulation.setTouchEmulationEnabled", { enabled: mobile, maxTouchPoints: 1 });
  const loaded = session.once("Page.loadEventFired");
  await session.send("Page.navigate", { url: pathToFileURL(path).href });
  await loaded;
}

// ------------------------------------------------------------ in the page

// Brings every picture in (lazy ones load near the viewport) and measures the
// pixels of the file behind it against the device pixels it covers.
const MEASURE = `(async () => {
  const dpr = window.devicePixelRatio;
  // Content that moves while pictures come in (scrolling itself is no shift).
  const shifts = [];
  const observer = new PerformanceObserver((list) => shifts.push(...list.getEntries()));
  observer.observe({ type: "layout-shift", buffered: true });
  const kind = (img) => img.closest(".cell, .tile") ? "thumbnail"
    : img.closest(".chapter") ? "chapter link" : img.closest(".photo, .stage") ? "picture" : "other";
  const out = [];
  for (const img of Array.from(document.images)) {
    img.scrollIntoView({ block: "center" });
    for (let i = 0; i < 100 && !(img.complete && img.naturalWidth > 0); ++i)
      await new Promise((r) => setTimeout(r, 50));
    const entry = { kind: kind(img), src: img.getAttribute("src"),
      width: img.getAttribute("width"), height: img.getAttribute("height"),
      loading: img.getAttribute("loading"), alt: img.getAttribute("alt") };
    if (!(img.complete && img.naturalWidth > 0)) { entry.error = "not loaded"; out.push(entry); continue; }
    const probe = new Image();
    probe.src = img.currentSrc;
    await probe.decode();
    const style = getComputedStyle(img);
    const px = (name) => parseFloat(style[name]) || 0;
    const boxW = img.clientWidth - px("paddingLeft") - px("paddingRight");
    const boxH = img.clientHeight - px("paddingTop") - px("paddingBottom");
    // The size drawn, in CSS pixels, from the picture's own CSS size (a 2x
    // file counts half): cover crops to the larger factor, contain fits the
    // smaller, scale-down never enlarges, fill stretches each way.
    const sx = boxW / img.naturalWidth, sy = boxH / img.naturalHeight;
    const fit = style.objectFit;
    const scale = fit === "contain" ? Math.min(sx, sy) : fit === "scale-down" ? Math.min(1, sx, sy)
      : fit === "none" ? 1 : fit === "cover" ? Math.max(sx, sy) : null;
    const drawnW = scale === null ? boxW : img.naturalWidth * scale;
    const drawnH = scale === null ? boxH : img.naturalHeight * scale;
    entry.file = probe.naturalWidth + "x" + probe.naturalHeight;
    entry.shown = Math.round(drawnW) + "x" + Math.round(drawnH);
    // The worse direction counts.
    entry.ratio = Math.min(probe.naturalWidth / (drawnW * dpr), probe.naturalHeight / (drawnH * dpr));
    out.push(entry);
  }
  window.scrollTo(0, 0);
  await new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)));
  shifts.push(...observer.takeRecords());
  observer.disconnect();
  const moved = shifts.filter((s) => !s.hadRecentInput);
  const shift = moved.reduce((sum, s) => sum + s.value, 0);
  const movers = moved.flatMap((s) => s.sources.map((x) => x.node ? x.node.nodeName + "." + x.node.className : "?"));
  return { pictures: out, shift, movers: Array.from(new Set(movers)).slice(0, 3) };
})()`;

// Tabs through the links; each focused one must draw an outline that no
// ancestor with clipped overflow cuts off.
const FOCUS = `(() => {
  const a = document.activeElement;
  if (!a || a === document.body) return null;
  const style = getComputedStyle(a);
  const width = parseFloat(style.outlineWidth) || 0;
  const name = a.tagName + (a.className ? "." + a.className : "") + " " + (a.getAttribute("href") || "");
  if (style.outlineStyle === "none" || width < 1) return { name, problem: "no visible outline" };
  const offset = parseFloat(style.outlineOffset) || 0;
  const grow = width + offset;
  const r = a.getBoundingClientRect();
  const ring = { left: r.left - grow, top: r.top - grow, right: r.right + grow, bottom: r.bottom + grow };
  for (let p = a.parentElement; p; p = p.parentElement) {
    const ps = getComputedStyle(p);
    if (ps.overflowX === "visible" && ps.overflowY === "visible") continue;
    if (p === document.body || p === document.documentElement) break;
    const b = p.getBoundingClientRect();
    if (ring.left < b.left - 0.5 || ring.top < b.top - 0.5 || ring.right > b.right + 0.5 || ring.bottom > b.bottom + 0.5)
      return { name, problem: "outline cut off by " + p.tagName + "." + p.className };
  }
  return { name };
})()`;

const LAYOUT = `(() => {
  const problems = [];
  for (const c of document.querySelectorAll(".cell figcaption, .tile .caption")) {
    const style = getComputedStyle(c);
    const line = parseFloat(style.lineHeight) || parseFloat(style.fontSize) * 1.5;
    const text = c.textContent.trim().slice(0, 30);
    if (style.display === "none" || style.visibility === "hidden" || parseFloat(style.opacity) === 0)
      problems.push("caption hidden: " + text);
    else if (c.clientHeight - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom) > line * 1.5)
      problems.push("caption more than one line high: " + text);
  }
  // Cells with a caption and cells without may differ; nothing else may.
  const cells = Array.from(document.querySelectorAll(".cell, .tile"));
  const heights = new Set(cells.map((c) => Math.round(c.getBoundingClientRect().height)));
  if (heights.size > 2) problems.push("thumbnail cells of " + heights.size + " heights: " + Array.from(heights).join(", "));
  return problems;
})()`;

// ------------------------------------------------------------------- checks

function label(album, path) { return `${album.name} ${path.slice(path.lastIndexOf("/_snapcrate_") + 1 || 0)}`; }

async function checkPictures(session, album, path, kind) {
  const views = [
    { name: "laptop@1", screen: LAPTOP, scale: 1, mobile: false },
    { name: "laptop@2", screen: LAPTOP, scale: 2, mobile: false },
    { name: "phone@2", screen: PHONE, scale: 2, mobile: true },
  ];
  for (const view of views) {
    await load(session, path, view.screen, view.scale, view.mobile);
    const { pictures, shift, movers } = await session.evaluate(MEASURE);
    if (shift > MOST_SHIFT) fail(`${label(album, path)} [${view.name}]`, `content moved while pictures loaded (layout shift ${shift.toFixed(3)}: ${movers.join(", ")})`);
    for (const p of pictures) found.add(`${album.name} ${kind} ${view.name} ${p.kind}`);
    for (const p of pictures) {
      const where = `${label(album, path)} [${view.name}] ${p.kind} ${p.src}`;
      if (p.error) { fail(where, p.error); continue; }
      if (view.name === "laptop@1") {
        if (!p.width || !p.height) fail(where, "img without width and height");
        if (p.alt === null) fail(where, "img without alt");
        if ((p.kind === "thumbnail" || p.kind === "chapter link") && p.loading !== "lazy") fail(where, "thumbnail not loaded lazily");
      }
      const figure = `${p.ratio.toFixed(2)} image px per device px (file ${p.file}, shown ${p.shown} CSS px)`;
      if (p.kind === "thumbnail" || p.kind === "chapter link") {
        const floor = view.scale === 1 ? UNSTRETCHED_AT_1X : SHARP_AT_2X;
        if (p.ratio < floor) fail(where, figure + `, below ${floor}`);
      } else if (p.kind === "picture" && view.name === "laptop@2") {
        notes.push(`${album.name} main picture at laptop@2: ${figure}`);
        if (album.sharpPicture && p.ratio < SHARP_AT_2X) fail(where, figure + `, below ${SHARP_AT_2X}`);
      }
    }
    if (kind !== "picture" && view.name !== "laptop@2")
      for (const problem of await session.evaluate(LAYOUT)) fail(`${label(album, path)} [${view.name}]`, problem);
  }
}

async function checkAxe(session, album, path) {
  await load(session, path, LAPTOP, 1, false);
  await session.evaluate(axeSource + ";0");
  const result = await session.evaluate(`axe.run(document, { runOnly: { type: "tag", values: ["wcag2a", "wcag2aa"] },
      resultTypes: ["violations"] }).then((r) => ({ passes: r.passes.length, violations: r.violations.map((v) => ({
      id: v.id, impact: v.impact, nodes: v.nodes.map((n) => n.target.join(" ")).slice(0, 3) })) }))`);
  // A run that checked nothing would pass every page.
  if (result.passes === 0) fail(label(album, path), "axe-core checked nothing");
  axeRules += result.passes;
  for (const v of result.violations)
    if (v.impact === "serious" || v.impact === "critical")
      fail(label(album, path), `axe ${v.id} (${v.impact}) at ${v.nodes.join(", ")}`);
}

async function checkFocus(session, album, path) {
  await load(session, path, LAPTOP, 1, false);
  const links = await session.evaluate("document.links.length");
  for (let i = 0; i < Math.min(links, 40); ++i) {
    await session.send("Input.dispatchKeyEvent", { type: "keyDown", key: "Tab", code: "Tab", windowsVirtualKeyCode: 9 });
    await session.send("Input.dispatchKeyEvent", { type: "keyUp", key: "Tab", code: "Tab", windowsVirtualKeyCode: 9 });
    const focused = await session.evaluate(FOCUS);
    if (focused && focused.problem) fail(`${label(album, path)} focus on ${focused.name}`, focused.problem);
  }
}

async function checkSwipe(session, album, path) {
  await load(session, path, PHONE, 2, true);
  const next = await session.evaluate(`(document.querySelector('a[rel="next"]') || {}).href || ""`);
  if (!next) return;
  const navigated = session.once("Page.loadEventFired", 10000).catch(() => null);
  const point = (x) => [{ x, y: 400 }];
  await session.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: point(320) });
  await session.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: point(200) });
  await session.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: point(60) });
  await session.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
  await navigated;
  const now = await session.evaluate("location.href");
  if (now !== next) fail(label(album, path), `a swipe to the left did not lead to the next picture (${now})`);
}

// --------------------------------------------------------------------- main

const { endpoint, stop } = await startBrowser();
let session;
try {
  session = await openPage(endpoint);
  let pages = 0;
  for (const album of plan.albums) {
    for (const [kind, paths] of Object.entries(album.pages)) {
      for (const path of paths) {
        ++pages;
        await checkAxe(session, album, path);
        await checkFocus(session, album, path);
        await checkPictures(session, album, path, kind);
        if (kind === "picture") await checkSwipe(session, album, path);
      }
    }
  }
  // Albums whose pictures were not found would pass every figure.
  for (const album of plan.albums)
    for (const view of ["laptop@1", "laptop@2", "phone@2"])
      for (const [kind, wanted] of [["chapter", "thumbnail"], ["picture", "picture"]])
        if (album.pages[kind].length && !found.has(`${album.name} ${kind} ${view} ${wanted}`))
          fail(`${album.name} [${view}]`, `no ${wanted} measured on its ${kind} pages`);
  for (const note of new Set(notes)) console.log(note);
  for (const failure of failures) console.log(failure);
  console.log(`${pages} pages of ${plan.albums.length} albums checked (${axeRules} axe-core rules passed), ` +
    `${failures.length} failures`);
} finally {
  if (session) session.close();
  await stop();
}
process.exit(failures.length === 0 ? 0 : 1);
