// Draws random mode 7 screens with jsbeeb's own SAA5050 model (src/teletext.js
// of jsbeeb 1.13.1) and with Rasterine's renderer, and compares every pixel.
// jsbeeb draws a cell as 16 pixels by 10 scan lines in each of two fields:
// line 2s + f of a cell is scan line s of field f, as in its frame buffer.
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

function differingPixels(bytes, ours) {
    const chip = new Teletext();
    let differing = 0;
    for (let y = 0; y < 500; ++y) {
        const row = Math.floor(y / 20);
        const theirs = jsbeebLine(chip, bytes.subarray(row * 40, row * 40 + 40), y % 20);
        for (let x = 0; x < 640; ++x) {
            const at = (y * 640 + x) * 3;
            for (let c = 0; c < 3; ++c) {
                const component = (theirs[x] >> (8 * c)) & 0xff; // jsbeeb stores 0xAABBGGRR
                if (Math.abs(component / 240 - ours[at + c] / 255) >= 0.01) {
                    ++differing;
                    break;
                }
            }
        }
    }
    return differing;
}

const folder = mkdtempSync(join(tmpdir(), "teletext-"));
let failed = 0;
for (let seed = 1; seed <= Number(screenCount); ++seed) {
    const bytes = randomScreen(seed);
    const file = join(folder, `screen${seed}`);
    writeFileSync(file, bytes);
    const ours = execFileSync(dumpProgram, [file], { maxBuffer: 1 << 24 });
    const differing = differingPixels(bytes, ours);
    if (differing > 0) {
        console.log(`screen ${seed}: ${differing} of 320000 pixels differ`);
        ++failed;
    }
}
console.log(`${Number(screenCount) - failed} of ${screenCount} random screens drawn exactly as jsbeeb draws them`);
process.exit(failed === 0 ? 0 : 1);
