// Frame benchmark of the browser build in a headless Chromium (SwiftShader's WebGL 2): opens the
// page, starts a game with a click on "Играть" and lets it run for ten seconds untouched, as
// bench_frames does with the desktop build. Prints the time from the page's start to its first
// drawn frame, the frames (ticks) per second, the median and 99th percentile of the gap from the
// end of one frame to the start of the next, the page's main-thread time per frame and the CPU
// time of all the browser's processes per frame.
// Usage: scripts/web.sh (serving), then: node bench/web_frames.mjs http://127.0.0.1:8080/kelto.html
import { readdirSync, readFileSync } from 'node:fs';

const { default: puppeteer } = await import(new URL(
  '../tests/web/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js', import.meta.url));
const url = process.argv[2] || 'http://127.0.0.1:8080/kelto.html';
const seconds = 10;
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// User and system time, in seconds, of a process and everything it started.
function treeCpuSeconds(root) {
  const processes = [];
  for (const name of readdirSync('/proc').filter((entry) => /^[0-9]+$/.test(entry))) {
    try {
      const fields = readFileSync(`/proc/${name}/stat`, 'utf8').split(') ')[1].split(' ');
      processes.push({ pid: Number(name), parent: Number(fields[1]),
        seconds: (Number(fields[11]) + Number(fields[12])) / 100 });
    } catch {
      // gone meanwhile
    }
  }
  const tree = new Set([root]);
  for (let grown = true; grown;) {
    grown = false;
    for (const process of processes) {
      if (!tree.has(process.pid) && tree.has(process.parent)) {
        tree.add(process.pid);
        grown = true;
      }
    }
  }
  return processes.filter((process) => tree.has(process.pid))
    .reduce((sum, process) => sum + process.seconds, 0);
}

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium-headless-shell',
  headless: 'shell',
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--no-first-run'],
});
const page = await browser.newPage();
await page.setViewport({ width: 900, height: 760 });
// Every frame ends with the layer's flush; every batch of passes starts in the exported entry.
await page.evaluateOnNewDocument(() => {
  window.frameEnds = [];
  window.passStarts = [];
  const flush = WebGL2RenderingContext.prototype.flush;
  WebGL2RenderingContext.prototype.flush = function() {
    window.frameEnds.push(performance.now());
    return flush.call(this);
  };
});
await page.goto(url);
await page.waitForFunction(() => window.frameEnds.length > 0, { timeout: 30000 });
const firstFrame = await page.evaluate(() => window.frameEnds[0]);
// Wrapped once it has run: its first call puts the module's own function in its place.
await page.evaluate(() => {
  const passes = window._KeltoWebPasses;
  window._KeltoWebPasses = () => {
    window.passStarts.push(performance.now());
    return passes();
  };
});
await sleep(500);
const canvas = await (await page.$('#canvas')).boundingBox();
await page.mouse.click(canvas.x + 160, canvas.y + 165, { delay: 150 });
await sleep(1000);
const session = await page.createCDPSession();
await session.send('Performance.enable');
const mainThread = async () => (await session.send('Performance.getMetrics')).metrics
  .find((metric) => metric.name === 'TaskDuration').value;
const browserPid = browser.process().pid;
const before = { cpu: treeCpuSeconds(browserPid), main: await mainThread(),
  at: await page.evaluate(() => performance.now()) };
await sleep(seconds * 1000);
const after = { cpu: treeCpuSeconds(browserPid), main: await mainThread(),
  at: await page.evaluate(() => performance.now()) };
const { ends, starts } = await page.evaluate(() => ({ ends: window.frameEnds, starts: window.passStarts }));
await browser.close();

// The gap after a frame: to the first batch of passes that starts after it and ends in a frame.
const within = ends.filter((end) => end >= before.at && end <= after.at);
const gaps = [];
for (let i = 0; i + 1 < within.length; ++i) {
  const next = starts.filter((start) => start > within[i] && start <= within[i + 1]).pop();
  if (next !== undefined) gaps.push(next - within[i]);
}
gaps.sort((a, b) => a - b);
const frames = within.length;
const elapsed = (after.at - before.at) / 1000;
const ms = (value) => value.toFixed(2) + ' ms';
console.log(`first drawn frame: ${ms(firstFrame)} after the page's start`);
console.log(`frames per second: ${(frames / elapsed).toFixed(1)}`);
console.log(`gap from a frame's end to the next frame's start: median ${ms(gaps[gaps.length >> 1])}, ` +
  `99th percentile ${ms(gaps[Math.floor(gaps.length * 0.99)])}`);
console.log(`page main thread per frame: ${ms((after.main - before.main) * 1000 / frames)}`);
console.log(`all browser processes' CPU per frame: ${ms((after.cpu - before.cpu) * 1000 / frames)} ` +
  `(${(100 * (after.cpu - before.cpu) / elapsed).toFixed(1)} % of one core)`);
