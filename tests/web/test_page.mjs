// The browser build in a headless Chromium with its software WebGL: the page against the Linux
// build's screenshots and demo line, real keyboard and mouse input, scores in IndexedDB across a
// browser restart, and the reports of bad data.
// Usage: node test_page.mjs URL WORK_DIR KELTO_REPLAY (WORK_DIR holds linux-menu.png,
// linux-scene.png, full_game.demo and bad.demo; the profile and the browser's screenshots go there)
import { execFileSync, spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import puppeteer from 'puppeteer-core';

const [url, work, replay] = process.argv.slice(2);
// Pixels whose channels differ by more than FUZZ out of 255 between two 800 x 600 frames; SwiftShader
// and Mesa's llvmpipe rasterise alike, so this leaves room for single edge pixels only.
const FUZZ = '3%';
const MAX_DIFFERING = 40;
const table = ['15', '9', '7', '0', '0', '0', '0', '0', '0', '0'];

const fail = (what) => { console.error('FAIL: ' + what); process.exit(1); };
const pass = (what) => console.log('ok - ' + what);
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const replayTail = (demo) => execFileSync(replay, { input: demo, encoding: 'utf8', maxBuffer: 1 << 28 }).trim().split('\n');

let browser;
let page;
let consoleLines = [];
async function open(query = '') {
  if (!browser) {
    browser = await puppeteer.launch({
      executablePath: '/usr/bin/chromium-headless-shell',
      headless: 'shell',
      userDataDir: work + '/profile',
      args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--no-first-run'],
    });
    page = (await browser.pages())[0] || await browser.newPage();
    await page.setViewport({ width: 900, height: 760 });
    page.on('console', (message) => consoleLines.push([message.type(), message.text()]));
    // The loudest sample of each buffer the page hands to Web Audio.
    await page.evaluateOnNewDocument(() => {
      window.soundPeaks = [];
      const create = AudioContext.prototype.createScriptProcessor;
      AudioContext.prototype.createScriptProcessor = function(...args) {
        const node = create.apply(this, args);
        Object.defineProperty(node, 'onaudioprocess', { set(fill) {
          node.addEventListener('audioprocess', (event) => {
            fill(event);
            window.soundPeaks.push(Math.max(...event.outputBuffer.getChannelData(0).map(Math.abs)));
          });
        } });
        return node;
      };
    });
    page.on('pageerror', (error) => consoleLines.push(['error', error.message]));
  }
  consoleLines = [];
  await page.goto(url + query);
  await page.bringToFront();
}
async function restartBrowser() {
  await browser.close();
  browser = undefined;
}
const waitTitle = () => page.waitForFunction(() => document.title.includes('FPS'), { timeout: 20000 });
async function waitConsole(prefix, timeout) {
  const end = Date.now() + timeout;
  for (;;) {
    const line = consoleLines.find(([, text]) => text.startsWith(prefix));
    if (line) return line[1];
    if (Date.now() > end) fail('no console line "' + prefix + '…": ' + JSON.stringify(consoleLines));
    await sleep(100);
  }
}
async function compareCanvas(name, linuxShot) {
  const shot = `${work}/web-${name}.png`;
  await (await page.$('#canvas')).screenshot({ path: shot });
  const result = spawnSync('compare', ['-metric', 'AE', '-fuzz', FUZZ, shot, linuxShot,
    `${work}/diff-${name}.png`], { encoding: 'utf8' });
  const differing = Number(result.stderr.trim());
  if (!(differing <= MAX_DIFFERING)) fail(`${name}: ${result.stderr.trim()} pixels differ from the Linux build's (see ${work})`);
  return differing;
}
const storeScores = (text) => page.evaluate((contents) => new Promise((done, failed) => {
  const request = indexedDB.open('kelto', 1);
  request.onerror = () => failed(request.error);
  request.onsuccess = () => {
    const transaction = request.result.transaction('files', 'readwrite');
    transaction.objectStore('files').put(new TextEncoder().encode(contents).buffer, 'score.txt');
    transaction.oncomplete = () => { request.result.close(); done(); };
  };
}), text);
const errorDialog = () => page.evaluate(() => {
  const box = document.getElementById('error');
  return box.hidden ? null : [box.querySelector('h1').textContent, box.querySelector('p').textContent];
});
async function keyEvent(type, key, code, keyCode) {
  const session = await page.createCDPSession();
  await session.send('Input.dispatchKeyEvent', { type, key, code, windowsVirtualKeyCode: keyCode });
  await session.detach();
}

try {
  // The menu, as the Linux build draws it, with nothing on the console but the game's own lines.
  await open('?mute');
  await waitTitle();
  await sleep(300);
  const menuPixels = await compareCanvas('menu', `${work}/linux-menu.png`);
  const errors = consoleLines.filter(([type]) => type === 'error');
  if (errors.length) fail('console errors on load: ' + JSON.stringify(errors));
  await page.mouse.click(0, 0, { delay: 50 });
  await sleep(300);
  if (await page.evaluate(() => window.soundPeaks.length)) fail('?mute played sound');
  pass(`the menu loads (?mute: silent) without console errors, ${menuPixels} pixels off the Linux build's`);

  // Into the game by a click on "Играть"; W held on a Russian layout walks up; focus lost while D
  // is held lets D go. The recorded demo says what each tick read.
  await open('?record');
  await waitTitle();
  const canvas = await (await page.$('#canvas')).boundingBox();
  await page.mouse.click(canvas.x + 160, canvas.y + 165, { delay: 150 });
  await sleep(200);
  await keyEvent('keyDown', 'ц', 'KeyW', 87);
  await sleep(1000);
  await keyEvent('keyUp', 'ц', 'KeyW', 87);
  await page.keyboard.down('d');
  await sleep(300);
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await sleep(200);
  await page.evaluate(() => window.dispatchEvent(new Event('focus')));
  await sleep(800);
  await page.keyboard.up('d');
  await page.mouse.down();
  await sleep(600);
  await page.mouse.up();
  const peaks = await page.evaluate(() => window.soundPeaks);
  if (!(Math.max(...peaks) > 0.01)) fail(`no sound from ${peaks.length} buffers after a click and shots`);
  const demo = await page.evaluate(() => new TextDecoder().decode(Module.FS.readFile('kelto.demo')));
  const ticks = demo.trim().split('\n').slice(1).map((line) => line.split(' ')[4]);
  const walked = ticks.filter((keys) => keys === '87').length;
  const rightBeforeBlur = ticks.lastIndexOf('68');
  if (walked < 30) fail(`W was held for ${walked} ticks only`);
  if (rightBeforeBlur < 0 || ticks.length - rightBeforeBlur < 30) fail(`D not let go on focus loss (last held at tick ${rightBeforeBlur + 1} of ${ticks.length})`);
  const players = replayTail(demo).filter((line) => line.startsWith('slot 0 TPlayer '));
  const startY = Number(players[0].split(' ')[4]);
  const endY = Number(players[players.length - 1].split(' ')[4]);
  if (!(endY < startY - 20)) fail(`the player did not walk up: y ${startY} to ${endY}`);
  pass(`a click starts the game and the sound; W (key ц) walks the player from y ${startY} to ${endY}; focus loss releases D`);

  // M switches the sound off and saves that (settings.txt, through the same file replacement as
  // the score table): after a reload the game stays silent.
  await page.keyboard.press('m', { delay: 100 });
  await sleep(300);
  await open();
  await waitTitle();
  await page.mouse.click(canvas.x + 160, canvas.y + 165, { delay: 150 });
  await page.mouse.down();
  await sleep(600);
  await page.mouse.up();
  if (await page.evaluate(() => window.soundPeaks.length)) fail('the sound came back after M and a reload');
  pass('M\'s choice is saved in IndexedDB and holds after a reload');

  // A demo with a bad line is refused with its number, as on the desktop.
  await open('?play=bad.demo');
  await waitConsole('kelto: ', 10000);
  const expected = spawnSync(replay, { input: readFileSync(`${work}/bad.demo`), encoding: 'utf8' })
    .stderr.trim().replace(/^kelto-replay: /, '');
  const shown = await errorDialog();
  if (!shown || shown[0] !== 'Error' || shown[1] !== expected) fail(`bad demo: ${JSON.stringify(shown)}, expected "${expected}"`);
  pass(`a bad demo shows "${expected}"`);

  // A score table kept in IndexedDB outlives the browser; the whole recorded game plays to the
  // score scene with the Linux build's line and shows that table.
  await storeScores(table.join('\r\n') + '\r\n');
  await restartBrowser();
  await open('?play=full_game.demo');
  const linuxLine = replayTail(readFileSync(`${work}/full_game.demo`)).filter((line) => line.startsWith('tick ')).pop().split(' ');
  const line = await waitConsole('demo: ', 120000);
  if (line !== `demo: ${linuxLine[1]} ticks, score ${linuxLine[3]}`) fail(`the demo ended with "${line}"`);
  await sleep(500);
  const scenePixels = await compareCanvas('scene', `${work}/linux-scene.png`);
  pass(`?play=full_game.demo prints "${line}" and shows the kept table, ${scenePixels} pixels off the Linux build's`);

  // A bad stored table is reported as the desktop reports a bad file, and the game stops there.
  await storeScores('abc\r\n');
  await open();
  await waitConsole('kelto: ', 10000);
  const report = await errorDialog();
  const badLine = "score.txt, line 1: 'abc' is not a valid integer value";
  if (!report || report[0] !== 'Error' || report[1] !== badLine) fail(`bad score: ${JSON.stringify(report)}`);
  if (!consoleLines.some(([, text]) => text === 'kelto: ' + badLine)) fail('no console report of the bad score');
  pass('a bad stored score shows the error dialog');
} finally {
  if (browser) await browser.close();
}
