// Times our 6502 unpacking routine on jsbeeb (model B, DFS), cycle for
// cycle: takes a compressed disc, puts its $.UNPACK and each packed screen
// file into the I/O processor's memory where *RUN would, calls the file's
// execution address (the routine's "screen" entry) and runs until it
// returns. Prints, for each packed file,
//   NAME cycles C wall W bytes N
// C: the routine's own cycles, run with interrupts masked; W: the same run
// with interrupts on, as on the machine; N: the bytes from the screen start
// to &8000, written to OUT_DIR/NAME.unpacked.
// With "load" first, instead times how long the DFS takes to load each file
// of the disc by OSFILE from a freshly started machine (catalogue read, seek
// and sectors), printing NAME start FIRST_SECTOR sectors S cycles C.
// Usage: node unpack_cycles.mjs [load] JSBEEB_DIR DISC [OUT_DIR]
import { readFileSync, writeFileSync } from "fs";
import path from "path";
import { machineWithDisc } from "./jsbeeb_machine.mjs";

const args = process.argv.slice(2);
const loading = args[0] === "load";
if (loading) args.shift();
const [jsbeebDir, discPath, outDir] = args;
if (!discPath || (!loading && !outDir)) {
    console.error("usage: node unpack_cycles.mjs [load] JSBEEB_DIR DISC [OUT_DIR]");
    process.exit(2);
}

// The files of side 0's catalogue, with their bytes.
const disc = new Uint8Array(readFileSync(discPath));
const catalogue = () => {
    const files = [];
    for (let at = 8; at <= disc[0x105]; at += 8) {
        const name = String.fromCharCode(...disc.subarray(at, at + 7)).trimEnd();
        const info = disc.subarray(0x100 + at, 0x108 + at);
        const mixed = info[6];
        const length = info[4] | (info[5] << 8) | (((mixed >> 4) & 3) << 16);
        const sector = info[7] | ((mixed & 3) << 8);
        files.push({
            name: String.fromCharCode(disc[at + 7] & 0x7f) + "." + name,
            load: info[0] | (info[1] << 8),
            exec: info[2] | (info[3] << 8),
            sector,
            bytes: disc.subarray(sector * 256, sector * 256 + length),
        });
    }
    return files;
};

const { machine, cpu } = await machineWithDisc(jsbeebDir, discPath, disc);
cpu.reset(true);
await machine.runUntilInput();
const started = machine.snapshot();

const now = () => cpu.cycleSeconds * 2 * 1000 * 1000 + cpu.currentCycles;
const RETURN_TO = 0x0bf0;
const BLOCK = 0x0b00;

// Calls `entry` as JSR would and runs until it returns; the cycles taken.
const call = async (entry, masked, registers = {}) => {
    cpu.push((RETURN_TO - 1) >> 8);
    cpu.push((RETURN_TO - 1) & 0xff);
    cpu.p.i = masked;
    Object.assign(cpu, registers);
    cpu.pc = entry;
    let back = false;
    const hook = cpu.debugInstruction.add((addr) => (back = addr === RETURN_TO));
    const before = now();
    await machine.runFor(60 * 2 * 1000 * 1000);
    hook.remove();
    if (!back) throw new Error(`&${entry.toString(16)} did not return`);
    return now() - before;
};

const put = (address, bytes) => bytes.forEach((byte, i) => machine.writebyte(address + i, byte));
const files = catalogue();

if (loading) {
    // OSFILE A=&FF: load NAME at its own address.
    for (const file of files) {
        machine.restore(started);
        put(BLOCK + 0x40, [...Buffer.from(file.name), 13]);
        put(BLOCK, [(BLOCK + 0x40) & 0xff, (BLOCK + 0x40) >> 8, 0, 0, 0, 0, 1]);
        const cycles = await call(0xffdd, false, { a: 0xff, x: BLOCK & 0xff, y: BLOCK >> 8 });
        const sectors = Math.ceil(file.bytes.length / 256);
        console.log(`${file.name} start ${file.sector} sectors ${sectors} cycles ${cycles}`);
    }
    process.exit(0);
}

const routine = files.find((file) => file.name === "$.UNPACK");
if (!routine) throw new Error("no $.UNPACK on the disc");
for (const file of files) {
    const inRoutine = file.exec >= routine.load && file.exec < routine.load + routine.bytes.length;
    if (file === routine || !inRoutine) continue;
    const run = async (masked) => {
        machine.restore(started);
        put(routine.load, routine.bytes);
        put(file.load, file.bytes);
        return call(file.exec, masked);
    };
    const screenStart = file.bytes[file.bytes.length - 4] | (file.bytes[file.bytes.length - 3] << 8);
    const wall = await run(false);
    const cycles = await run(true);
    const unpacked = new Uint8Array(0x8000 - screenStart);
    for (let i = 0; i < unpacked.length; ++i) unpacked[i] = machine.readbyte(screenStart + i);
    writeFileSync(path.join(outDir, file.name + ".unpacked"), unpacked);
    console.log(`${file.name} cycles ${cycles} wall ${wall} bytes ${unpacked.length}`);
}
