// Beside the console, in any language but Romanian: the meaning of every
// line the run printed, worked out from its files (web/input-help.js), its
// status and its report; each line quoted as the simulator wrote it.
(function (root) {
  'use strict';

  const words = root.hazardText;
  const model = root.hazardRun;
  const box = root.document.getElementById('console-words');

  function draw() {
    const run = model.current;
    box.textContent = '';
    box.hidden = words.lang === 'ro' || !run || !run.result;
    if (box.hidden) return;
    const head = Object.assign(root.document.createElement('h3'), { textContent: words.t('meanings') });
    const list = root.document.createElement('ul');
    for (const m of root.hazardInput.messages(run.config, run.program, run.result.status, run.report)) {
      const quote = Object.assign(root.document.createElement('q'), { lang: 'ro', textContent: m.ro });
      const li = root.document.createElement('li');
      li.append(quote, ' = ' + words.t(m.k, m.p));
      list.append(li);
    }
    box.append(head, list);
  }

  model.on('run', draw);
  model.on('lang', draw);
  draw();
})(this);
