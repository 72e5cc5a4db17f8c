// A jsbeeb model B with DFS 1.2, headless, with a disc image in drive 0:
// the set-up every script here starts from. `video` is jsbeeb's Video for
// scripts that read the frame; without it the machine draws nothing. Also
// hands back jsbeeb's key codes, for pressing keys.
import path from "path";

export async function machineWithDisc(jsbeebDir, discPath, discBytes, video) {
    const from = (file) => import(path.resolve(jsbeebDir, file));
    const { TestMachine } = await from("tests/test-machine.js");
    const { FakeSoundChip } = await from("src/soundchip.js");
    const fdc = await from("src/fdc.js");
    const utils = await from("src/utils.js");
    utils.setNodeBasePath(path.resolve(jsbeebDir));
    const options = video ? { video, soundChip: new FakeSoundChip() } : { soundChip: new FakeSoundChip() };
    const machine = new TestMachine("B-DFS1.2", options);
    await machine.initialise();
    const cpu = machine.processor;
    cpu.fdc.loadDisc(0, fdc.discFor(cpu.fdc, discPath, discBytes));
    return { machine, cpu, keyCodes: utils.keyCodes };
}
