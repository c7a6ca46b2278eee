// The printed page: each editor's text as a plain block beside it (an editor
// prints only the lines in view), kept in step with every run.
(function () {
  'use strict';

  const copies = ['config', 'program'].map((name) => {
    const editor = document.getElementById(name);
    const pre = Object.assign(document.createElement('pre'), { className: 'print-text' });
    pre.setAttribute('aria-hidden', 'true');
    editor.closest('.editor-body').after(pre);
    return () => (pre.textContent = editor.value);
  });
  const fill = () => copies.forEach((copy) => copy());
  window.hazardRun.on('run', fill);
  window.addEventListener('beforeprint', fill);
})();
