// The dialogue in a terminal-like panel: recharge itself, its answers piped.
'use strict';

// The answers typed so far are the program's piped input: each Enter runs
// it afresh on all of them and shows what it wrote up to its next read
// (the question it now asks), or all of it once it stops.
const dialogue = {
  answers: '',

  // Runs the dialogue on `input`; `ended` shows all it writes once its input
  // ends there, else what it wrote up to its first read past the end.
  // Resolves to the run (programs.js).
  async pipe(input, ended) {
    const run = await RechargePrograms.run(...DIALOGUE, {input: encoder.encode(input)});
    this.answers = input;
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
