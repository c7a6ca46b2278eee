// The explanations: every hazard and every bubble of the run in words, and how the model works.
(function (root) {
  'use strict';

  const node = typeof module === 'object' && module.exports;
  const model = node ? require('./run-model.js') : root.hazardRun;
  const teach = node ? require('./teach.js') : root.hazardTeach;

  function hazardText(report, i, h) {
    const ins = report.instructions;
    const me = ins[i];
    let text =
      `${model.instrLabel(me)} si ${model.instrLabel(ins[h.earlier])}, la distanta ${h.distance}: ` +
      h.kinds.map((k) => teach.kindText(k, i, h.earlier)).join('; ') + '.';
    if (h.kinds.length > 1)
      text += ` Se potrivesc ${h.kinds.length} tipuri; tabelul de analiza il arata pe ultimul: ${teach.shownText(h)}.`;
    if (me.nearest.distance !== h.distance) {
      text += ` Corectia nu se uita la el: conflictul cel mai apropiat al lui ${i} este la distanta ${me.nearest.distance},` +
        ` iar ${h.earlier} a intrat si mai devreme.`;
    } else if (me.delay > 0) {
      text += ` Este conflictul cel mai apropiat al lui ${i}: de el depinde intirzierea lui.`;
    } else {
      text += ` Este conflictul cel mai apropiat al lui ${i}. ` + teach.delayText(report, teach.delayOf(report, i));
    }
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
    const B = report.bubbles;
    return [
      `Banda are ${D} etape, de la 1 la ${D}. In fiecare ciclu intra in etapa 1 o instructiune sau o bula, ` +
        'iar tot ce este in banda trece in etapa urmatoare: ce intra in ciclul c este in etapa s in ciclul c + s - 1.',
      'Doua instructiuni sint in conflict cind au un registru comun ca RAW (a doua citeste ce scrie prima), ' +
        'WAR (a doua scrie ce citeste prima) sau WAW (scriu amindoua acelasi registru), ' +
        `si a doua intra la mai putin de ${D} - 1 = ${D - 1} cicluri dupa prima.`,
      'Toate trei tipurile se corecteaza la fel: instructiunea asteapta, cu bule inaintea ei, ' +
        `pina cind cea anterioara a intrat cu ${D - 1} cicluri inainte.`,
      'Ajunge sa privim conflictul cel mai apropiat al fiecarei instructiuni: celelalte instructiuni cu care e ' +
        'in conflict au intrat si mai devreme, deci sint deja destul de departe.',
      `Performanta = (adincimea + n - 1) / (n + bule + adincimea - 1) = (${D} + ${n} - 1) / (${n} + ${B} + ${D} - 1)` +
        ` = ${report.cycles.written} / ${report.cycles.corrected} = ${report.performance}%, cu n = ${n} instructiuni.`,
    ];
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
  list.setAttribute('aria-label', 'Hazardurile si intirzierile');
  const facts = document.createElement('ol');
  facts.className = 'model-facts';
  const head = (level, text) => Object.assign(document.createElement(level), { textContent: text });
  const intro = head('p', 'Lista spune in cuvinte ce arata cele doua diagrame. Sagetile sus si jos trec de la un element la altul.');
  intro.className = 'hint';
  const none = head('p', '');
  section.append(
    head('h2', 'Fiecare hazard si fiecare bula'), intro, list, none,
    head('h3', 'Cum functioneaza modelul'), facts
  );

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
        tag.textContent = `Hazard ${it.kind}`;
      } else {
        li.className = 'item-delay';
        li.dataset.delay = String(it.delay);
        tag.textContent = `Intirziere: ${teach.count(it.delay, 'bula', 'bule')}`;
      }
      li.dataset.instr = String(it.instr);
      li.dataset.earlier = String(it.earlier);
      li.append(tag, ' ' + it.text);
      list.append(li);
    }
    if (list.firstChild) list.firstChild.tabIndex = 0;
    list.hidden = all.length === 0;
    none.hidden = all.length > 0;
    none.textContent = 'Nicio instructiune nu este in conflict cu alta: nu este niciun hazard si nicio bula.';
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
  model.on('run', (run) => {
    const report = run && run.report;
    section.hidden = !report;
    if (report) draw(report);
    else {
      list.textContent = '';
      facts.textContent = '';
      picked = null;
    }
  });
})(this);
