// A table of soils computed away from the page: recharge-table on the file,
// as `recharge-table [options] -o RESULTS FILE` runs, with standard error a
// terminal so that it shows its progress line, which goes to the page as it
// is redrawn. The page cancels a run by ending this worker.
//
//   postMessage({name: 'soils.csv', bytes, options: ['--output-units', 'mm'],
//                output: 'soils-results.csv'})
//   -> {progress: '20000 rows, 9800 rows/s, about 8 s left'} ...,
//      then {status: 0, stderr, output}: the results' bytes, or null
'use strict';

importScripts('programs.js', 'recharge-table.js');

onmessage = async ({data: {name, bytes, options, output}}) => {
  let line = [];
  const decoder = new TextDecoder();
  // A progress line is "\r" text "\x1b[K"; "\r\x1b[K" alone wipes it.
  const onStderr = (byte) => {
    if (byte === 13) {
      line = [];
    } else if (byte === 0x1b) {
      postMessage({progress: decoder.decode(Uint8Array.from(line))});
      line = null;
    } else if (line !== null) {
      line.push(byte);
    }
  };
  const run = await RechargePrograms.run(RechargeTable, 'recharge-table.wasm', {
    args: [...options, '-o', output, name],
    files: {[name]: new Uint8Array(bytes)},
    outputs: [output],
    terminal: [2],
    onStderr,
  });
  // The summary without the progress lines: what a log file would hold.
  const text = decoder.decode(run.stderr).replace(/\r[^\r\n]*\x1b\[K/g, '');
  const stderr = new TextEncoder().encode(text);
  const result = run.files[output];
  postMessage({status: run.status, stderr, output: result},
              result ? [result.buffer, stderr.buffer] : [stderr.buffer]);
};
