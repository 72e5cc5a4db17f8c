// Measures on jsbeeb (model B, DFS) how long each picture of a disc takes to
// be complete: emulated seconds from releasing Shift (the first picture) or
// from pressing Space (each next one) until the I/O processor's screen
// memory holds that picture's screen file byte for byte. Not a test: the
// numbers go into docs/disc-images.md (see bench/disc_timing.sh).
// Usage: node time_pictures.mjs JSBEEB_DIR DISC SCREEN_FILE...
import { existsSync, readFileSync } from "fs";
import path from "path";
import { machineWithDisc } from "./jsbeeb_machine.mjs";

const [jsbeebDir, discPath, ...screens] = process.argv.slice(2);
if (!discPath || screens.length === 0) {
    console.error("usage: node time_pictures.mjs JSBEEB_DIR DISC SCREEN_FILE...");
    process.exit(2);
}
const { machine, cpu, keyCodes } = await machineWithDisc(jsbeebDir, discPath, new Uint8Array(readFileSync(discPath)));

const CYCLES_PER_SECOND = 2 * 1000 * 1000;
const STEP = 0.01;
const LIMIT = 60;
const run = (seconds) => machine.runFor(Math.round(seconds * CYCLES_PER_SECOND));

// A screen starts at the load address of its .inf line beside it (teletext
// ends short of &8000), or else ends at &8000.
const startOf = (screen, bytes) => {
    if (!existsSync(`${screen}.inf`)) return 0x8000 - bytes.length;
    return parseInt(readFileSync(`${screen}.inf`, "latin1").trim().split(/\s+/)[1], 16) & 0xffff;
};
const shows = (start, bytes) => {
    for (let i = 0; i < bytes.length; ++i) if (machine.readbyte(start + i) !== bytes[i]) return false;
    return true;
};
const timeUntil = async (screen) => {
    const bytes = new Uint8Array(readFileSync(screen));
    const start = startOf(screen, bytes);
    for (let t = 0; t < LIMIT; t += STEP) {
        if (shows(start, bytes)) return t;
        await run(STEP);
    }
    return NaN;
};

cpu.sysvia.keyDown(keyCodes.SHIFT);
cpu.reset(true);
await run(1);
cpu.sysvia.keyUp(keyCodes.SHIFT);
for (let i = 0; i < screens.length; ++i) {
    if (i > 0) {
        await run(1);
        cpu.sysvia.keyDown(keyCodes.SPACE);
        await run(0.1);
        cpu.sysvia.keyUp(keyCodes.SPACE);
    }
    const seconds = await timeUntil(screens[i]);
    console.log(`${path.basename(screens[i])} ${seconds.toFixed(2)}`);
}
