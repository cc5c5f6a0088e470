// One soil: the form built from the contract (every input with its units,
// the soil classes by number and name, the months), its soil as one row of a
// table that recharge-table computes, its results with their units and
// meanings, and the soil kept in the page's address, so that a link gives
// it again.
//
//   ?cs=given&P=600&P_unit=mm%2Fa&ETp=550&...&class=1&output_units=mm
'use strict';

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
