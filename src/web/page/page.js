// The page: a form for one soil (soil_form.js, bagrov_curve.js), a table of
// soils in a worker (table_panel.js), the dialogue (dialogue_panel.js). Its
// inputs, units, soil classes and result columns come from the page module's
// contract (recharge-page.wasm); every result comes from a run of
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
