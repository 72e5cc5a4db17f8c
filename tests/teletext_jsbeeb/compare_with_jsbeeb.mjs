// Draws random mode 7 screens with jsbeeb 1.13.1 and with Rasterine's
// renderer, and compares every pixel, twice:
// - with jsbeeb's SAA5050 model alone (src/teletext.js), which draws a cell
//   as 16 pixels by 10 scan lines in each of two fields: line 2s + f of a
//   cell is scan line s of field f;
// - on a whole emulated BBC Micro in MODE 7, the screen written to &7C00,
//   where the teletext area is the 640 x 500 pixels from (216, 64) of
//   jsbeeb's 1024 x 625 frame buffer, and everything around it is black.
// Full intensity is 240 there and 255 here, so a pixel agrees when each
// component matches on those scales to within 1 %.
// Usage: node compare_with_jsbeeb.mjs JSBEEB_PACKAGE_DIR DUMP_PROGRAM [SCREENS]
import { execFileSync } from "node:child_process";
import { mkdtempSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";

const [packageDir, dumpProgram, screenCount = "20"] = process.argv.slice(2);
const { Teletext } = await import(pathToFileURL(join(packageDir, "src", "teletext.js")).href);

// Graphics colours, contiguous, separated, black and new background, hold,
// release and the blank mosaic: everything Rasterine writes. Letters are
// left out: Rasterine draws them as spaces and never writes them.
const codes = [0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x99, 0x9a, 0x9c, 0x9d, 0x9e, 0x9f, 0xa0];

function randomScreen(seed) {
    const next = () => (seed = (seed * 1103515245 + 12345) & 0x7fffffff) / 0x7fffffff;
    const bytes = new Uint8Array(1000);
    for (let i = 0; i < 1000; ++i) {
        if (i % 40 === 0) bytes[i] = 0x91 + Math.floor(next() * 7);
        else if (next() < 0.45) bytes[i] = codes[Math.floor(next() * codes.length)];
        else bytes[i] = 0xa0 | Math.floor(next() * 32) | (next() < 0.5 ? 0x40 : 0);
    }
    return bytes;
}

function jsbeebLine(chip, rowBytes, line) {
    chip.setDISPTMG(true); // the end of display on every scan line resets the row state
    chip.setDISPTMG(false);
    chip.scanlineCounter = line >> 1;
    chip.levelRA0 = (line & 1) === 1;
    const pixels = new Int32Array(640);
    for (let column = 0; column < 40; ++column) {
        chip.dataQueue[0] = rowBytes[column] & 0x7f;
        chip.render(pixels, column * 16);
    }
    return pixels;
}

// Pixels where `theirs(x, y)` (0xAABBGGRR, as jsbeeb stores them) differs
// from our 640 x 500 RGB bytes.
function differingPixels(theirs, ours) {
    let differing = 0;
    for (let y = 0; y < 500; ++y)
        for (let x = 0; x < 640; ++x) {
            const pixel = theirs(x, y), at = (y * 640 + x) * 3;
            for (let c = 0; c < 3; ++c)
                if (Math.abs(((pixel >> (8 * c)) & 0xff) / 240 - ours[at + c] / 255) >= 0.01) {
                    ++differing;
                    break;
                }
        }
    return differing;
}

function chipPixels(bytes) {
    const chip = new Teletext();
    const lines = [];
    for (let y = 0; y < 500; ++y) {
        const row = Math.floor(y / 20);
        lines.push(jsbeebLine(chip, bytes.subarray(row * 40, row * 40 + 40), y % 20));
    }
    return (x, y) => lines[y][x];
}

const areaLeft = 216, areaTop = 64;

// jsbeeb's test machine with its real video chip drawing into a plain frame
// buffer, copied out whole at each vertical sync.
async function bootMode7() {
    const from = (file) => import(pathToFileURL(join(packageDir, file)).href);
    const { TestMachine } = await from("tests/test-machine.js");
    const { Video } = await from("src/video.js");
    const { FakeSoundChip } = await from("src/soundchip.js");
    const utils = await from("src/utils.js");
    const fb8 = new Uint8Array(1024 * 625 * 4);
    const frame = new Uint8Array(fb8.length);
    const video = new Video(false, new Uint32Array(fb8.buffer), () => frame.set(fb8));
    utils.setNodeBasePath(packageDir);
    const machine = new TestMachine("B-DFS1.2", { video, soundChip: new FakeSoundChip() });
    await machine.initialise();
    await machine.runUntilInput(30);
    await machine.type("MODE 7");
    await machine.runUntilInput(10);
    await machine.type("VDU 23,1,0;0;0;0;"); // no cursor
    await machine.runUntilInput(10);
    return { machine, frame };
}

// The emulated frame after showing `bytes` for a tenth of a second (both
// interlaced fields drawn), or null when something lies outside the area.
async function framePixels({ machine, frame }, bytes) {
    bytes.forEach((byte, i) => machine.writebyte(0x7c00 + i, byte));
    await machine.runFor(200000);
    const pixels = new Int32Array(frame.slice().buffer); // the last whole frame
    for (let y = 0; y < 625; ++y)
        for (let x = 0; x < 1024; ++x) {
            const inside = x >= areaLeft && x < areaLeft + 640 && y >= areaTop && y < areaTop + 500;
            if (!inside && (pixels[y * 1024 + x] & 0xffffff) !== 0) return null;
        }
    return (x, y) => pixels[(y + areaTop) * 1024 + x + areaLeft];
}

const folder = mkdtempSync(join(tmpdir(), "teletext-"));
const machine = await bootMode7();
let failed = 0;
for (let seed = 1; seed <= Number(screenCount); ++seed) {
    const bytes = randomScreen(seed);
    const file = join(folder, `screen${seed}`);
    writeFileSync(file, bytes);
    const ours = execFileSync(dumpProgram, [file], { maxBuffer: 1 << 24 });
    const chip = differingPixels(chipPixels(bytes), ours);
    const frame = await framePixels(machine, bytes);
    const emulated = frame === null ? "lit outside the area" : `${differingPixels(frame, ours)} pixels differ`;
    if (chip > 0 || emulated !== "0 pixels differ") {
        console.log(`screen ${seed}: ${chip} pixels differ from the SAA5050 model; emulated frame: ${emulated}`);
        ++failed;
    }
}
console.log(`${Number(screenCount) - failed} of ${screenCount} random screens drawn exactly as jsbeeb draws them`);
process.exit(failed === 0 ? 0 : 1);
