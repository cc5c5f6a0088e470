// The page: a form for one soil, a table of soils in a worker, the dialogue.
// Its inputs, units, soil classes and result columns come from the page
// module's contract (recharge-page.wasm); every result comes from a run of
// recharge-table on the form's row or the chosen file, and the dialogue is
// recharge itself (programs.js).
'use strict';

const TABLE = [RechargeTable, 'recharge-table.wasm'];
const DIALOGUE = [RechargeDialogue, 'recharge.wasm'];
const encoder = new TextEncoder();
const decoder = new TextDecoder();

const $ = (id) => document.getElementById(id);

function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) node.setAttribute(name, value);
  node.append(...children);
  return node;
}

// ---- One soil ----------------------------------------------------------

// An input's row: its name and meaning, the text, and the unit where the
// field takes a choice of them.
function inputRow(input) {
  const label = element('label', {for: `in-${input.name}`, title: input.description},
                        input.name);
  const text = element('input', {id: `in-${input.name}`, name: input.name, inputmode: 'decimal',
                                 placeholder: input.required ? 'required' : ''});
  const row = element('div', {class: 'field'}, label, text);
  row.append(input.offered.length > 0 ? unitSelect(`unit-${input.name}`, input.offered)
                                      : element('span'));
  row.append(element('span', {class: 'meaning'}, input.description));
  return row;
}

function unitSelect(id, units) {
  const select = element('select', {id, 'aria-label': 'unit'});
  for (const unit of units) select.append(element('option', {value: unit}, unit));
  return select;
}

function buildForm(contract) {
  const inputs = new Map(contract.inputs.map((input) => [input.name, input]));
  const place = {climate: 'climate-fields', site: 'site-fields', soil: 'soil-fields',
                 'own parameter': 'own-fields'};
  for (const input of contract.inputs) {
    if (input.month !== null || input.name === 'Cs' || input.name === 'class') continue;
    $(place[input.group]).append(inputRow(input));
  }
  $('cs-given').append(inputRow(inputs.get('Cs')));

  // The months: a row per series, a column per month, one unit per series.
  const months = element('table', {class: 'months'});
  const head = element('tr', {}, element('th'));
  for (const field of contract.series[0].fields) {
    head.append(element('th', {}, monthName(inputs.get(field).month)));
  }
  months.append(head);
  for (const series of contract.series) {
    const row = element('tr', {}, element('th', {title: series.description}, series.name));
    for (const field of series.fields) {
      row.append(element('td', {}, element('input', {
        id: `in-${field}`, name: field, inputmode: 'decimal',
        'aria-label': inputs.get(field).description})));
    }
    row.append(element('td', {}, unitSelect(`unit-${series.name}`,
                                            inputs.get(series.fields[0]).offered)));
    months.append(row);
  }
  $('cs-months').append(months);

  const soil = inputs.get('class');
  const select = element('select', {id: 'in-class', name: 'class', title: soil.description});
  for (const each of contract.classes) {
    select.append(element('option', {value: String(each.number)},
                          `${each.number} ${each.name}`));
  }
  select.append(element('option', {value: '0'}, '0 own parameters'));
  $('soil-fields').prepend(element('div', {class: 'field'},
                                   element('label', {for: 'in-class'}, 'class'), select,
                                   element('span'),
                                   element('span', {class: 'meaning'}, soil.description)));
  select.addEventListener('change', showOwnParameters);

  for (const unit of contract.length_units) {
    $('output-units').append(element('option', {value: unit}, unit));
    $('table-units').append(element('option', {value: unit}, unit));
    $('table-output-units').append(element('option', {value: unit}, unit));
  }
  for (const radio of document.querySelectorAll('input[name=cs-mode]')) {
    radio.addEventListener('change', showClimateMode);
  }
}

function monthName(month) {
  return ['April', 'May', 'June', 'July', 'August', 'September'][month - 4];
}

function showOwnParameters() {
  $('own-fields').hidden = $('in-class').value !== '0';
}

function showClimateMode() {
  const months = document.querySelector('input[name=cs-mode]:checked').value === 'months';
  $('cs-given').hidden = months;
  $('cs-months').hidden = !months;
}

// The fields the form gives now: [input, text, unit], in the contract's
// order, those left empty or hidden out.
function givenFields(contract) {
  const months = document.querySelector('input[name=cs-mode]:checked').value === 'months';
  const own = $('in-class').value === '0';
  const given = [];
  for (const input of contract.inputs) {
    if (input.name === 'Cs' && months) continue;
    if (input.month !== null && !months) continue;
    if (input.group === 'own parameter' && !own) continue;
    const text = $(`in-${input.name}`).value.trim();
    if (text === '') continue;
    given.push([input, text, unitOf(contract, input)]);
  }
  return given;
}

function unitOf(contract, input) {
  if (input.month !== null) {
    const series = contract.series.find((each) => each.fields.includes(input.name));
    return $(`unit-${series.name}`).value;
  }
  const select = $(`unit-${input.name}`);
  return select ? select.value : '';
}

function csvCell(text) {
  return /[",;\r\n]/.test(text) ? `"${text.replaceAll('"', '""')}"` : text;
}

// The cells of one CSV line, quotes removed.
function csvCells(line) {
  const cells = [];
  let cell = '';
  let quoted = false;
  for (let i = 0; i < line.length; ++i) {
    const c = line[i];
    if (quoted) {
      if (c === '"' && line[i + 1] === '"') {
        cell += '"';
        ++i;
      } else if (c === '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c === '"') {
      quoted = true;
    } else if (c === ',') {
      cells.push(cell);
      cell = '';
    } else {
      cell += c;
    }
  }
  cells.push(cell);
  return cells;
}

// The form's soil as one row of a table, and recharge-table's arguments for
// it: a decimal comma where the texts use one.
function soilTable(contract) {
  const given = givenFields(contract);
  const header = given.map(([input, , unit]) => csvCell(unit ? `${input.name} [${unit}]`
                                                               : input.name));
  const row = given.map(([, text]) => csvCell(text));
  const comma = given.some(([, text]) => text.includes(','));
  const args = ['-q', '--decimal', comma ? 'comma' : 'point',
                '--output-units', $('output-units').value, '-o', 'result.csv', 'soil.csv'];
  return {given, args, bytes: encoder.encode(`${header.join(',')}\n${row.join(',')}\n`)};
}

async function computeSoil(contract, page) {
  const soil = soilTable(contract);
  keepInAddress(contract);
  const run = await RechargePrograms.run(...TABLE, {
    args: soil.args, files: {'soil.csv': soil.bytes}, outputs: ['result.csv']});
  $('soil-result').hidden = false;
  const body = $('result-table').tBodies[0];
  body.replaceChildren();
  $('curve-figure').hidden = true;
  // Status 1 is a complete table with a row that is not ok: its status says why.
  if (run.files['result.csv'] === null) {
    $('soil-status').textContent = decoder.decode(run.stderr).trim();
    $('soil-status').className = 'problem';
    return;
  }
  const [header, row] = decoder.decode(run.files['result.csv']).split(/\r?\n/);
  const names = csvCells(header);
  const values = csvCells(row);
  const result = {};
  names.forEach((name, i) => {
    const [, column, unit] = /^(\S+)(?: \[(.*)\])?$/.exec(name);
    result[column] = {value: values[i], unit: unit || ''};
  });
  const status = result.status.value;
  $('soil-status').textContent = `status: ${status}`;
  $('soil-status').className = status === 'ok' ? 'ok' : 'problem';
  for (const column of contract.results) {
    const {value, unit} = result[column.name];
    body.append(element('tr', {'data-column': column.name}, element('th', {}, column.name),
                        element('td', {}, value), element('td', {}, unit),
                        element('td', {}, column.description)));
  }
  drawCurve(page, soil.given, result);
}

// ---- The Bagrov curve ---------------------------------------------------

function drawCurve(page, given, result) {
  const nB = Number(result.nB.value);
  if (result.method.value !== 'bagrov' || !Number.isFinite(nB)) return;
  const amount = (name) => {
    const field = given.find(([input]) => input.name === name);
    const scale = page.ccall('recharge_unit_scale', 'number', ['string', 'string'],
                             [name, field[2]]);
    return Number(field[1].replace(',', '.')) * scale;
  };
  const ETp = amount('ETp');
  const x = amount('P') / ETp;
  const lengthScale = page.ccall('recharge_length_scale', 'number', ['string'],
                                 [$('output-units').value]);
  const y = Number(result.ETa.value) / lengthScale / ETp;
  const largest = Math.max(3, Math.ceil(x * 1.2));
  const count = 121;
  const address = page._malloc(16 * count);
  page.ccall('recharge_bagrov_curve', null, ['number', 'number', 'number', 'number'],
             [nB, largest, count, address]);
  const ratios = page.HEAPF64.slice(address / 8, address / 8 + 2 * count);
  page._free(address);

  const [left, top, width, height] = [48, 12, 416, 264];
  const px = (value) => left + width * value / largest;
  const py = (value) => top + height * (1 - value);
  const svg = $('curve');
  const ns = 'http://www.w3.org/2000/svg';
  const draw = (tag, attributes, text) => {
    const node = document.createElementNS(ns, tag);
    for (const [name, value] of Object.entries(attributes)) node.setAttribute(name, value);
    if (text !== undefined) node.textContent = text;
    svg.append(node);
  };
  svg.replaceChildren();
  for (let tick = 0; tick <= largest; ++tick) {
    draw('line', {x1: px(tick), x2: px(tick), y1: py(0), y2: py(1), class: 'grid'});
    draw('text', {x: px(tick), y: py(0) + 16, class: 'tick'}, String(tick));
  }
  for (let tick = 0; tick <= 10; tick += 2) {
    draw('line', {x1: px(0), x2: px(largest), y1: py(tick / 10), y2: py(tick / 10),
                  class: 'grid'});
    draw('text', {x: px(0) - 6, y: py(tick / 10) + 4, class: 'tick y'}, (tick / 10).toFixed(1));
  }
  let path = '';
  for (let i = 0; i < count; ++i) {
    const [cx, cy] = [ratios[2 * i], ratios[2 * i + 1]];
    if (Number.isNaN(cy)) continue;
    path += `${path ? 'L' : 'M'}${px(cx).toFixed(1)},${py(cy).toFixed(1)}`;
  }
  draw('path', {d: path, class: 'curve'});
  draw('circle', {cx: px(x), cy: py(y), r: 5, class: 'point'});
  draw('text', {x: left + width / 2, y: top + height + 34, class: 'axis'}, 'P / ETp');
  draw('text', {x: 12, y: top + height / 2, class: 'axis',
                transform: `rotate(-90 12 ${top + height / 2})`}, 'ETa / ETp');
  $('curve-caption').textContent =
      `Bagrov curve for nB = ${result.nB.value}: ETa/ETp against P/ETp as the model computes ` +
      `it; the point is this soil (P/ETp = ${x.toPrecision(4)}, ETa/ETp = ${y.toPrecision(4)}).`;
  $('curve-figure').hidden = false;
}

// ---- The soil in the page's address --------------------------------------

function keepInAddress(contract) {
  const params = new URLSearchParams();
  const mode = document.querySelector('input[name=cs-mode]:checked').value;
  params.set('cs', mode);
  for (const [input, text, unit] of givenFields(contract)) {
    params.set(input.name, text);
    if (unit && input.month === null) params.set(`${input.name}_unit`, unit);
  }
  if (mode === 'months') {
    for (const series of contract.series) {
      params.set(`${series.name}_unit`, $(`unit-${series.name}`).value);
    }
  }
  params.set('class', $('in-class').value);
  params.set('output_units', $('output-units').value);
  const address = `${location.pathname}?${params}${location.hash}`;
  history.replaceState(null, '', address);
  $('share').href = address;
}

// Whether the address gave a soil, which the form then holds.
function readAddress(contract) {
  const params = new URLSearchParams(location.search);
  if ([...params.keys()].length === 0) return false;
  const set = (id, value) => {
    if (value !== null && $(id)) $(id).value = value;
  };
  for (const input of contract.inputs) {
    set(`in-${input.name}`, params.get(input.name));
    set(`unit-${input.name}`, params.get(`${input.name}_unit`));
  }
  for (const series of contract.series) {
    set(`unit-${series.name}`, params.get(`${series.name}_unit`));
  }
  set('output-units', params.get('output_units'));
  const mode = params.get('cs') === 'months' ? 'months' : 'given';
  document.querySelector(`input[name=cs-mode][value=${mode}]`).checked = true;
  showClimateMode();
  showOwnParameters();
  return true;
}

// ---- A table of soils ------------------------------------------------------

let tableWorker = null;
let tableLink = null;

function runTable(file) {
  cancelTable();
  const options = [];
  if ($('table-decimal').value) options.push('--decimal', $('table-decimal').value);
  if ($('table-units').value) options.push('--units', $('table-units').value);
  if ($('table-output-units').value) options.push('--output-units', $('table-output-units').value);
  $('table-download').hidden = true;
  $('table-messages').hidden = true;
  $('table-progress').hidden = false;
  $('table-progress-text').textContent = `Reading ${file.name}…`;
  // The file's own name, as messages name it; one that begins with '-' would
  // be read as an option.
  const name = file.name.startsWith('-') ? `./${file.name}` : file.name;
  const results = `${file.name.replace(/\.(csv|txt)$/i, '')}-results.csv`;
  file.arrayBuffer().then((bytes) => {
    tableWorker = new Worker('table_worker.js');
    tableWorker.onmessage = ({data}) => {
      if (data.progress !== undefined) {
        $('table-progress-text').textContent = data.progress || 'Computing…';
        return;
      }
      tableWorker.terminate();
      tableWorker = null;
      $('table-progress').hidden = true;
      const messages = decoder.decode(data.stderr).trim();
      $('table-messages').textContent = messages;
      $('table-messages').hidden = messages === '';
      $('table-messages').className = data.status === 0 ? '' : 'problem';
      if (data.output) {
        if (tableLink) URL.revokeObjectURL(tableLink);
        tableLink = URL.createObjectURL(new Blob([data.output], {type: 'text/csv'}));
        $('table-link').href = tableLink;
        $('table-link').download = results;
        $('table-link').textContent = `Download ${results}`;
        $('table-download').hidden = false;
      }
    };
    tableWorker.postMessage({name, bytes, options, output: results}, [bytes]);
    $('table-progress-text').textContent = `Computing ${file.name}…`;
  });
}

function cancelTable() {
  if (tableWorker === null) return;
  tableWorker.terminate();
  tableWorker = null;
  $('table-progress').hidden = true;
  $('table-messages').textContent = 'Cancelled.';
  $('table-messages').className = '';
  $('table-messages').hidden = false;
}

function setUpTable() {
  $('table-file').addEventListener('change', () => {
    if ($('table-file').files.length > 0) runTable($('table-file').files[0]);
  });
  $('table-cancel').addEventListener('click', cancelTable);
  const drop = $('drop');
  drop.addEventListener('dragover', (event) => {
    event.preventDefault();
    drop.classList.add('over');
  });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', (event) => {
    event.preventDefault();
    drop.classList.remove('over');
    if (event.dataTransfer.files.length > 0) runTable(event.dataTransfer.files[0]);
  });
}

// ---- The dialogue ----------------------------------------------------------

// The answers typed so far are the program's piped input: each Enter runs
// it afresh on all of them and shows what it wrote up to its next read
// (the question it now asks), or all of it once it stops.
const dialogue = {
  answers: '',
  ended: false,
  last: null,  // the last run: {status, stdout, stderr, inputEnd}

  async pipe(input, ended) {
    const run = await RechargePrograms.run(...DIALOGUE, {input: encoder.encode(input)});
    this.answers = input;
    this.ended = ended;
    this.last = run;
    const shown = !ended && run.inputEnd ? run.inputEnd : {stdout: run.stdout.length,
                                                          stderr: run.stderr.length};
    let text = decoder.decode(run.stdout.subarray(0, shown.stdout)) +
               decoder.decode(run.stderr.subarray(0, shown.stderr));
    if (ended || !run.inputEnd) text += `\n[recharge ended with status ${run.status}]\n`;
    $('terminal').textContent = text.replaceAll('\r\n', '\n');
    $('terminal').scrollTop = $('terminal').scrollHeight;
    $('terminal-line').disabled = ended || !run.inputEnd;
    return run;
  },
};

function setUpDialogue() {
  $('terminal-form').addEventListener('submit', (event) => {
    event.preventDefault();
    const line = $('terminal-line').value;
    $('terminal-line').value = '';
    dialogue.pipe(`${dialogue.answers}${line}\n`, false);
  });
  $('terminal-end').addEventListener('click', () => dialogue.pipe(dialogue.answers, true));
  $('terminal-restart').addEventListener('click', () => dialogue.pipe('', false));
}

// ---- Start -----------------------------------------------------------------

async function start() {
  const page = await RechargePage();
  const contract = JSON.parse(page.UTF8ToString(page._recharge_contract()));
  buildForm(contract);
  setUpTable();
  setUpDialogue();
  $('soil-form').addEventListener('submit', (event) => {
    event.preventDefault();
    computeSoil(contract, page);
  });
  await Promise.all([RechargePrograms.compile(TABLE[1]), RechargePrograms.compile(DIALOGUE[1])]);
  await dialogue.pipe('', false);
  if (readAddress(contract)) await computeSoil(contract, page);
  $('loading').hidden = true;
  document.body.dataset.ready = 'true';
}

start().catch((error) => {
  $('loading').textContent = `The page could not start: ${error.message}`;
  $('loading').className = 'problem';
});

window.recharge = {dialogue};
