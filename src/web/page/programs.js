// Runs recharge and recharge-table, built as modules (recharge.js,
// recharge-table.js), as a shell runs a process: arguments, standard input
// as bytes, files in its working directory before the run and read back
// after it, standard output and error as bytes, the exit status. Every run
// is a fresh instance of the module, compiled once: no state passes from one
// run to the next, as none passes from one process to the next.
//
//   const run = await RechargePrograms.run(RechargeTable, 'recharge-table.wasm',
//       {args: ['-o', 'out.csv', 'soils.csv'], files: {'soils.csv': bytes},
//        outputs: ['out.csv']});
//   run.status -> 0, run.files['out.csv'] -> the table of results, as bytes
'use strict';

const RechargePrograms = (() => {
  const compiled = new Map();  // the .wasm address -> the promise of its module

  function compile(address) {
    if (!compiled.has(address)) {
      compiled.set(address, fetch(address).then((response) => {
        if (!response.ok) throw new Error(`cannot load ${address}: ${response.status}`);
        return response.arrayBuffer();
      }).then((bytes) => WebAssembly.compile(bytes)));
    }
    return compiled.get(address);
  }

  function concat(chunks) {
    return Uint8Array.from(chunks);
  }

  // `options`:
  //   args      the arguments after the program's name
  //   input     standard input, a Uint8Array (default: empty)
  //   files     name -> Uint8Array, written before the run
  //   outputs   names of the files to read back after it
  //   terminal  descriptors that are a terminal (as progress needs 2)
  //   onStderr  called with each byte written to standard error
  // Resolves to {status, stdout, stderr, files, inputEnd}, where inputEnd is
  // {stdout, stderr}, the lengths written when the program first read past
  // the end of its input, or null if it never did.
  async function run(factory, address, options = {}) {
    const wasm = await compile(address);
    const input = options.input || new Uint8Array();
    const stdout = [];
    const stderr = [];
    let read = 0;
    let inputEnd = null;
    const module = await factory({
      instantiateWasm(imports, receive) {
        WebAssembly.instantiate(wasm, imports).then((instance) => receive(instance));
        return {};
      },
      stdin: () => null,
      stdout: (byte) => { stdout.push(byte & 0xff); },
      stderr: (byte) => {
        stderr.push(byte & 0xff);
        if (options.onStderr) options.onStderr(byte & 0xff);
      },
      terminal: options.terminal || [],
      // A stop ends this run, never the page or node's process.
      quit: (status, stop) => { throw stop; },
    });
    // Standard input as a pipe that holds `input`: each read takes what is
    // left, up to its length; a read at the end gives 0 bytes.
    const stream = module.FS.getStream(0);
    stream.stream_ops = {
      ...stream.stream_ops,
      read: (stream, buffer, offset, length) => {
        const count = Math.min(length, input.length - read);
        if (count === 0 && inputEnd === null) {
          inputEnd = {stdout: stdout.length, stderr: stderr.length};
        }
        buffer.set(input.subarray(read, read + count), offset);
        read += count;
        return count;
      },
    };
    module.FS.mkdir('/work');
    module.FS.chdir('/work');
    for (const [name, bytes] of Object.entries(options.files || {})) {
      module.FS.writeFile(name, bytes);
    }
    const status = module.callMain(options.args || []);
    // Emscripten's umask is 0777: the files a run makes have no permission
    // bits, and the page reads them as their owner would.
    module.FS.ignorePermissions = true;
    const files = {};
    for (const name of options.outputs || []) {
      try {
        files[name] = module.FS.readFile(name);
      } catch (missing) {
        files[name] = null;
      }
    }
    return {status, stdout: concat(stdout), stderr: concat(stderr), files, inputEnd};
  }

  return {compile, run};
})();

if (typeof module !== 'undefined') module.exports = RechargePrograms;
