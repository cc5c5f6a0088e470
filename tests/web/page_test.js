// Drives the page in a frame as a user would (browser_test.py) and posts
// what it shows to /result; browser_test.py compares it with the programs
// built natively and with the transcripts.
'use strict';

const frame = document.getElementById('page');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function until(test, what, seconds = 120) {
  for (let waited = 0; waited < seconds * 1000; waited += 20) {
    const value = test();
    if (value) return value;
    await sleep(20);
  }
  throw new Error(`waited ${seconds} s for ${what}`);
}

async function open(address) {
  frame.src = address;
  await until(() => frame.contentDocument && frame.contentDocument.body &&
                    frame.contentDocument.body.dataset.ready, `${address} to start`);
  return frame.contentDocument;
}

function base64(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) {
    text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(text);
}

function fill(page, values) {
  for (const [id, value] of Object.entries(values)) {
    const field = page.getElementById(id);
    field.value = value;
    field.dispatchEvent(new Event('change'));
  }
}

async function resultCells(page) {
  await until(() => page.getElementById('result-table').tBodies[0].rows.length > 0, 'results');
  const cells = {};
  for (const row of page.getElementById('result-table').tBodies[0].rows) {
    cells[row.dataset.column] = row.cells[1].textContent;
  }
  return cells;
}

const readme = {'in-P': '60', 'in-ETp': '55', 'in-Ps': '30', 'in-ETps': '40', 'in-Cs': '0.3',
                'in-zr': '60', 'in-zgw': '200', 'in-class': '1', 'in-anaerobiosis': '0',
                'unit-P': 'cm/a', 'unit-ETp': 'cm/a', 'output-units': 'cm'};

async function chooseFile(page, address, name, options) {
  const bytes = await (await fetch(address)).arrayBuffer();
  fill(page, options);
  const files = new DataTransfer();
  files.items.add(new File([bytes], name, {type: 'text/csv'}));
  const input = page.getElementById('table-file');
  input.files = files.files;
  input.dispatchEvent(new Event('change'));
}

const cases = {
  // For bench/web_page.py: the first result after the page starts loading,
  // then a whole table.
  async speed() {
    const start = performance.now();
    const page = await open('/index.html?cs=given&P=60&P_unit=cm%2Fa&ETp=55&ETp_unit=cm%2Fa' +
                            '&Ps=30&ETps=40&Cs=0.3&zr=60&zgw=200&class=1&anaerobiosis=0');
    const cells = await resultCells(page);
    const first = performance.now() - start;
    const begun = performance.now();
    await chooseFile(page, '/data/batch.csv', 'batch.csv', {});
    await until(() => !page.getElementById('table-download').hidden, 'the download', 1200);
    return {first_result_ms: Math.round(first), ETa: cells.ETa,
            table_ms: Math.round(performance.now() - begun)};
  },

  async soil() {
    let page = await open('/index.html');
    fill(page, readme);
    page.getElementById('compute').click();
    const cells = await resultCells(page);
    const status = page.getElementById('soil-status').textContent;
    const points = (page.querySelector('#curve path').getAttribute('d').match(/[ML]/g) || []).length;
    const point = page.querySelector('#curve circle') !== null;
    page = await open(page.getElementById('share').getAttribute('href'));
    const linked = await resultCells(page);
    return {cells, status, linked, curve_points: points, point};
  },

  async table() {
    const page = await open('/index.html');
    await chooseFile(page, '/data/batch.csv', 'batch.csv', {'table-output-units': 'mm'});
    await until(() => !page.getElementById('table-download').hidden, 'the download', 240);
    const link = page.getElementById('table-link');
    const output = new Uint8Array(await (await fetch(link.href)).arrayBuffer());
    const rows = new TextDecoder().decode(output).trim().split('\n').length - 1;
    return {output: base64(output), rows, download: link.download,
            messages: page.getElementById('table-messages').textContent};
  },

  async dialogue() {
    const page = await open('/index.html');
    const dialogue = frame.contentWindow.recharge.dialogue;
    const transcripts = await (await fetch('/data/transcripts.json')).json();
    const runs = {};
    for (const [name, input] of Object.entries(transcripts)) {
      const run = await dialogue.pipe(input, true);
      runs[name] = {stdout: base64(run.stdout), stderr: base64(run.stderr), status: run.status};
    }
    // The README's session, answer by answer, through the panel's own line.
    await dialogue.pipe('', false);
    const terminal = page.getElementById('terminal');
    const typed = [];
    const answers = [['60 55', 'potential summer evapotranspiration, cm'],
                     ['30 40', 'Is coefficient of simultaneity known? (0,1)'],
                     ['1', 'coefficient of simultaneity'],
                     ['0.3', 'Root zone depth and depth to groundwater (cm):'],
                     ['60 200', 'To use other soil parameters, type 0 (zero)'],
                     ['1', 'Severe anaerobiosis expected? (0,1)'],
                     ['0', 'Next soil, same climate? (0,1)'], ['0', 'Next case?(0,1)'],
                     ['0', '[recharge ended with status 0]']];
    for (const [answer, question] of answers) {
      const before = terminal.textContent;
      page.getElementById('terminal-line').value = answer;
      page.querySelector('#terminal-form button[type=submit]').click();
      await until(() => terminal.textContent !== before, `the answer ${answer}`);
      typed.push([terminal.textContent, question]);
    }
    return {transcripts: runs, typed};
  },

  async error() {
    const page = await open('/index.html');
    fill(page, {...readme, 'in-P': '6o0'});
    page.getElementById('compute').click();
    await resultCells(page);
    const status = page.getElementById('soil-status').textContent;
    await chooseFile(page, '/data/bad.csv', 'bad.csv', {});
    const messages = page.getElementById('table-messages');
    await until(() => !messages.hidden, 'the message');
    return {status, messages: messages.textContent};
  },

  async cancel() {
    const page = await open('/index.html');
    await chooseFile(page, '/data/batch.csv', 'batch.csv', {});
    // The page's own timer: how long the page went without running it.
    let last = performance.now();
    let longest = 0;
    const timer = frame.contentWindow.setInterval(() => {
      const now = performance.now();
      longest = Math.max(longest, now - last);
      last = now;
    }, 10);
    const text = page.getElementById('table-progress-text');
    const progress = await until(() => / s left$/.test(text.textContent) && text.textContent,
                                 'the progress line');
    frame.contentWindow.clearInterval(timer);
    page.getElementById('table-cancel').click();
    const messages = page.getElementById('table-messages').textContent;
    fill(page, readme);
    page.getElementById('compute').click();
    await resultCells(page);
    return {progress, longest_pause_ms: Math.round(longest), messages,
            download: !page.getElementById('table-download').hidden,
            after: page.getElementById('soil-status').textContent};
  },
};

(async () => {
  const name = new URLSearchParams(location.search).get('case');
  let result;
  try {
    result = await cases[name]();
  } catch (error) {
    result = {error: `${error.message}\n${error.stack}`};
  }
  await fetch('/result', {method: 'POST', body: JSON.stringify(result)});
})();
