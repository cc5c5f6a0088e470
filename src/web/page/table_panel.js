// A table of soils: the chosen or dropped file computed by recharge-table in
// a worker (table_worker.js) with the options of the form, its progress line
// shown, a cancel that ends the worker, and the results offered for
// download under the name recharge-table would be given.
'use strict';

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
