// The Bagrov curve of a soil in SVG: ETa/ETp against P/ETp as the model's
// solver gives it for the soil's nB (the page module's recharge_bagrov_curve),
// and the soil's own point, its amounts brought to cm by the page module's
// unit scales.
'use strict';

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
