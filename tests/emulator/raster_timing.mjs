// Times the raster routine's palette writes on jsbeeb: boots a disc whose
// picture's palette changes line by line (Shift+Break), runs SECONDS of
// emulated time, then prints every write to &FE21 or &FE23 during the next
// FRAMES frames, one line each:
//   W CYCLE LINE CHARACTER
// CYCLE: the CPU cycle of the write (2 MHz, from power-on); LINE: the scan
// line the CRTC is on (character row * 8 + scan line, 0 at the top of the
// picture); CHARACTER: its horizontal counter, in characters of the mode's
// clock (2 MHz in modes 0-2, 1 MHz in 4 and 5).
// Usage: node raster_timing.mjs JSBEEB_DIR DISC SECONDS FRAMES
import { readFileSync } from "fs";
import path from "path";
import { machineWithDisc } from "./jsbeeb_machine.mjs";

const [jsbeebDir, discPath, secondsText, framesText] = process.argv.slice(2);
if (!framesText) {
    console.error("usage: node raster_timing.mjs JSBEEB_DIR DISC SECONDS FRAMES");
    process.exit(2);
}
const { Video } = await import(path.resolve(jsbeebDir, "src/video.js"));
let painted = 0;
const video = new Video(false, new Uint32Array(1024 * 625), () => ++painted);
const { machine, cpu, keyCodes } = await machineWithDisc(jsbeebDir, discPath, new Uint8Array(readFileSync(discPath)), video);
const run = (seconds) => machine.runFor(Math.round(seconds * 2 * 1000 * 1000));

cpu.sysvia.keyDown(keyCodes.SHIFT);
cpu.reset(true);
await run(1);
cpu.sysvia.keyUp(keyCodes.SHIFT);
await run(Number(secondsText));

const writes = [];
const write = video.ula.write.bind(video.ula);
video.ula.write = (addr, val) => {
    if (addr & 1)
        writes.push(`W ${cpu.cycleSeconds * 2000000 + cpu.currentCycles} ${video.vertCounter * 8 + video.scanlineCounter} ${video.horizCounter}`);
    return write(addr, val);
};
const start = painted;
while (painted - start < 1) await run(0.001);
writes.length = 0;
while (painted - start < 1 + Number(framesText)) await run(0.001);
console.log(writes.join("\n"));
