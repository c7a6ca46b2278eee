// The explanations: every hazard and every bubble of the run in words, and how the model works.
(function (root) {
  'use strict';

  const node = typeof module === 'object' && module.exports;
  const teach = node ? require('./teach.js') : root.hazardTeach;
  const { model, T } = teach; // the run model, and the page's words

  function hazardText(report, i, h) {
    const ins = report.instructions;
    const me = ins[i];
    const kinds = h.kinds.map((k) => teach.kindText(k, i, h.earlier)).join('; ');
    let text = T('hz', { a: model.instrLabel(me), b: model.instrLabel(ins[h.earlier]), d: h.distance, kinds });
    if (h.kinds.length > 1) text += T('hzMany', { n: h.kinds.length, shown: teach.shownText(h) });
    if (me.nearest.distance !== h.distance) text += T('hzFar', { i, nd: me.nearest.distance, e: h.earlier });
    else if (me.delay > 0) text += T('hzDelays', { i });
    else text += T('hzNearest', { i }) + teach.delayText(report, teach.delayOf(report, i));
    return text;
  }

  // The list's items in order: for each instruction, its hazards as the
  // analysis table shows them (by distance), then its delay if it has one.
  //   {type: 'hazard', instr, earlier, distance, kind, text}
  //   {type: 'delay', instr, earlier, delay, text}
  function items(report) {
    const out = [];
    for (const ins of report.instructions) {
      for (const h of ins.hazards) {
        out.push({
          type: 'hazard', instr: ins.index, earlier: h.earlier, distance: h.distance, kind: h.shown.kind,
          text: hazardText(report, ins.index, h),
        });
      }
      if (ins.delay > 0) {
        const d = teach.delayOf(report, ins.index);
        out.push({ type: 'delay', instr: ins.index, earlier: d.earlier, delay: ins.delay, text: teach.delayText(report, d) });
      }
    }
    return out;
  }

  // How the model works, with the run's numbers: one sentence each.
  function modelFacts(report) {
    const D = report.depth;
    const n = report.lines;
    const p = { D, D1: D - 1, n, B: report.bubbles, w: report.cycles.written, c: report.cycles.corrected, p: report.performance };
    return [1, 2, 3, 4, 5].map((k) => T('fact' + k, p));
  }

  if (node) {
    module.exports = { items, modelFacts };
    return;
  }

  // ---- the list and the panel ----

  const section = document.getElementById('explanations');
  const list = document.createElement('ul');
  list.id = 'explain';
  list.className = 'explain';
  const facts = document.createElement('ol');
  facts.className = 'model-facts';
  const head = (level, text) => Object.assign(document.createElement(level), { textContent: text });
  const intro = head('p', '');
  intro.className = 'hint';
  const keys = head('span', ''); // no keyboard on a touch screen: hidden there
  keys.className = 'key-hint';
  const none = head('p', '');
  const title = head('h2', '');
  const factsTitle = head('h3', '');
  section.append(title, intro, list, none, factsTitle, facts);
  function label() {
    list.setAttribute('aria-label', T('explainList'));
    keys.textContent = ' ' + T('explainKeys');
    intro.replaceChildren(T('explainIntro'), keys);
    title.textContent = T('explainTitle');
    factsTitle.textContent = T('modelTitle');
  }
  label();

  let picked = null;

  const selOf = (li) =>
    li.dataset.delay !== undefined
      ? { type: 'delay', instr: +li.dataset.instr, earlier: +li.dataset.earlier }
      : { type: 'hazard', instr: +li.dataset.instr, earlier: +li.dataset.earlier, distance: +li.dataset.distance };

  function itemFor(sel) {
    if (!sel) return null;
    if (sel.type === 'delay') return list.querySelector(`[data-delay][data-instr="${sel.instr}"]`);
    return list.querySelector(`[data-hazard][data-instr="${sel.instr}"][data-distance="${sel.distance}"]`);
  }

  function mark(li) {
    if (picked === li) return;
    if (picked) {
      picked.classList.remove('picked');
      picked.removeAttribute('aria-current');
    }
    picked = li;
    if (!li) return;
    li.classList.add('picked');
    li.setAttribute('aria-current', 'true');
    if (!li.contains(document.activeElement) && list.scrollHeight > list.clientHeight) {
      const top = li.offsetTop - list.offsetTop;
      if (top < list.scrollTop || top + li.offsetHeight > list.scrollTop + list.clientHeight)
        list.scrollTop = top - list.clientHeight / 2;
    }
  }

  function draw(report) {
    list.textContent = '';
    picked = null;
    const all = items(report);
    for (const it of all) {
      const li = document.createElement('li');
      li.tabIndex = -1;
      const tag = document.createElement('strong');
      if (it.type === 'hazard') {
        li.className = 'item-hazard';
        li.dataset.hazard = it.kind;
        li.dataset.distance = String(it.distance);
        tag.textContent = T('tagHazard', { k: it.kind });
      } else {
        li.className = 'item-delay';
        li.dataset.delay = String(it.delay);
        tag.textContent = T('tagDelay', { n: it.delay });
      }
      li.dataset.instr = String(it.instr);
      li.dataset.earlier = String(it.earlier);
      li.append(tag, ' ' + it.text);
      list.append(li);
    }
    if (list.firstChild) list.firstChild.tabIndex = 0;
    list.hidden = all.length === 0;
    none.hidden = all.length > 0;
    none.textContent = T('noHazards');
    facts.textContent = '';
    for (const f of modelFacts(report)) facts.append(head('li', f));
  }

  const itemOf = (target) => (target && target.closest ? target.closest('#explain > li') : null);

  list.addEventListener('focusin', (event) => {
    const li = itemOf(event.target);
    if (!li) return;
    for (const other of list.querySelectorAll('li[tabindex="0"]')) if (other !== li) other.tabIndex = -1;
    li.tabIndex = 0;
    model.pick(selOf(li));
  });
  list.addEventListener('focusout', (event) => {
    if (!list.contains(event.relatedTarget)) model.pick(null);
  });
  list.addEventListener('mouseover', (event) => {
    const li = itemOf(event.target);
    if (li && li !== picked) model.pick(selOf(li));
  });
  list.addEventListener('mouseleave', () => {
    const focused = itemOf(document.activeElement);
    model.pick(focused && list.contains(focused) ? selOf(focused) : null);
  });
  list.addEventListener('keydown', (event) => {
    const li = itemOf(event.target);
    if (!li) return;
    const moves = {
      ArrowDown: li.nextElementSibling,
      ArrowUp: li.previousElementSibling,
      Home: list.firstElementChild,
      End: list.lastElementChild,
    };
    if (!(event.key in moves)) return;
    event.preventDefault();
    if (moves[event.key]) moves[event.key].focus();
  });

  model.on('pick', (sel) => mark(itemFor(sel)));
  function redraw(run) {
    const report = run && run.report;
    section.hidden = !report;
    if (report) draw(report);
    else {
      list.textContent = '';
      facts.textContent = '';
      picked = null;
    }
  }
  model.on('run', redraw);
  model.on('lang', () => {
    label();
    redraw(model.current);
  });
})(this);
