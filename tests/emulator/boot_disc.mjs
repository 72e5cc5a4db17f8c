// Boots a BBC Micro model B with DFS in jsbeeb, headless, from a disc image
// in drive 0 with Shift held (so the disc's !BOOT runs), and dumps what the
// machine then shows:
//   OUT.mem  the I/O processor's memory &3000..&7FFF (20480 bytes)
//   OUT.ppm  the active display area of the emulated video frame (where the
//            CRTC's displayed characters land), as a binary PPM: 640 x 512
//            for the graphics modes, each scan line drawn twice
// Usage: node boot_disc.mjs JSBEEB_DIR DISC.ssd OUT [SECONDS [KEY_PRESSES [AREA [NULA [FRAMES]]]]]
// SECONDS of emulated time are run after the boot (default 8); each key
// press (Space) is followed by the same time again. AREA "teletext" dumps
// instead the 640 x 500 pixels from (216, 64) where jsbeeb draws mode 7
// (its SAA5050 output does not pass through the graphics modes' blits), and
// fails when anything outside them is lit. NULA "off" writes &50 to &FE22
// before the machine boots, switching its VideoNuLA off, so that &FE22 and
// &FE23 reach &FE20 and &FE21 as on a machine without one. FRAMES, a list
// such as "1,25,50", also dumps OUT.fN.ppm (the same area) after the Nth
// whole frame painted from then on, for pictures that must stay steady.
import { readFileSync, writeFileSync } from "fs";
import path from "path";
import { machineWithDisc } from "./jsbeeb_machine.mjs";

const [jsbeebDir, discPath, outPrefix, secondsText = "8", pressesText = "0", area = "active", nula = "on", framesText = ""] =
    process.argv.slice(2);
if (!outPrefix || !["active", "teletext"].includes(area) || !["on", "off"].includes(nula)) {
    console.error("usage: node boot_disc.mjs JSBEEB_DIR DISC.ssd OUT [SECONDS [KEY_PRESSES [AREA [NULA]]]]");
    process.exit(2);
}
const { Video } = await import(path.resolve(jsbeebDir, "src/video.js"));

// The emulator paints a 1024 x 625 frame; the picture is drawn into fb32 and
// copied out at each vertical sync, before the next frame clears it.
const FB_WIDTH = 1024;
const FB_HEIGHT = 625;
const fb8 = new Uint8Array(FB_WIDTH * FB_HEIGHT * 4);
const frame = new Uint8Array(fb8.length);
let painted = 0;
const video = new Video(false, new Uint32Array(fb8.buffer), () => {
    frame.set(fb8);
    ++painted;
});

// Where the CRTC's displayed characters land in the frame: every blit of
// screen memory goes through blitFb at a frame offset.
const drawn = { minX: FB_WIDTH, minY: FB_HEIGHT, maxX: -1, maxY: -1 };
const blit = video.blitFb.bind(video);
video.blitFb = (dat, offset, pixels, doubled) => {
    const x = offset % FB_WIDTH;
    const y = Math.floor(offset / FB_WIDTH);
    drawn.minX = Math.min(drawn.minX, x);
    drawn.maxX = Math.max(drawn.maxX, x + pixels - 1);
    drawn.minY = Math.min(drawn.minY, y);
    drawn.maxY = Math.max(drawn.maxY, y + (doubled ? 1 : 0));
    return blit(dat, offset, pixels, doubled);
};

const { machine, cpu, keyCodes } = await machineWithDisc(jsbeebDir, discPath, new Uint8Array(readFileSync(discPath)), video);

const CYCLES_PER_SECOND = 2 * 1000 * 1000;
const run = (seconds) => machine.runFor(Math.round(seconds * CYCLES_PER_SECOND));

if (nula === "off") machine.writebyte(0xfe22, 0x50);

// Shift+Break: hold Shift through a power-on reset so the OS boots the disc.
cpu.sysvia.keyDown(keyCodes.SHIFT);
cpu.reset(true);
await run(1);
cpu.sysvia.keyUp(keyCodes.SHIFT);
await run(Number(secondsText));
for (let press = 0; press < Number(pressesText); ++press) {
    cpu.sysvia.keyDown(keyCodes.SPACE);
    await run(0.2);
    cpu.sysvia.keyUp(keyCodes.SPACE);
    await run(Number(secondsText));
}

// One more whole frame with the bounds measured afresh.
Object.assign(drawn, { minX: FB_WIDTH, minY: FB_HEIGHT, maxX: -1, maxY: -1 });
await run(0.05);

const memory = new Uint8Array(0x5000);
for (let i = 0; i < memory.length; ++i) memory[i] = machine.readbyte(0x3000 + i);
writeFileSync(outPrefix + ".mem", memory);

// Mode 7's area is fixed; the lit pixels must all lie inside it.
const TELETEXT = { minX: 216, minY: 64, maxX: 216 + 639, maxY: 64 + 499 };
if (area === "teletext") {
    for (let y = 0; y < FB_HEIGHT; ++y)
        for (let x = 0; x < FB_WIDTH; ++x) {
            const inside = x >= TELETEXT.minX && x <= TELETEXT.maxX && y >= TELETEXT.minY && y <= TELETEXT.maxY;
            const at = (y * FB_WIDTH + x) * 4;
            if (!inside && (frame[at] | frame[at + 1] | frame[at + 2]) !== 0) {
                console.error(`lit outside the teletext area at (${x},${y})`);
                process.exit(1);
            }
        }
    Object.assign(drawn, TELETEXT);
}

const area0 = { ...drawn };
const dumpFrame = (file) => {
    const width = area0.maxX - area0.minX + 1;
    const height = area0.maxY - area0.minY + 1;
    const rgb = new Uint8Array(width * height * 3);
    for (let y = 0; y < height; ++y)
        for (let x = 0; x < width; ++x) {
            const from4 = ((area0.minY + y) * FB_WIDTH + area0.minX + x) * 4;
            rgb.set(frame.subarray(from4, from4 + 3), (y * width + x) * 3);
        }
    writeFileSync(file, Buffer.concat([Buffer.from(`P6\n${width} ${height}\n255\n`), rgb]));
    return `${width}x${height}`;
};
console.log(`active area ${dumpFrame(outPrefix + ".ppm")} at (${area0.minX},${area0.minY})`);

// Later frames, counted from here: each dumped as it is painted.
const frames = framesText ? framesText.split(",").map(Number) : [];
const start = painted;
for (const n of frames) {
    while (painted - start < n) await run(0.005);
    dumpFrame(`${outPrefix}.f${n}.ppm`);
}
