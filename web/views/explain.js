// The explanations of the shown run: every hazard and every delay as an
// item of a list walked with the arrow keys, each picking out its marks in
// the diagrams, and how the model works, with why each kind waits in it.
// Gives mount(box, store).
'use strict';

const { el } = require('./dom.js');
const explain = require('../logic/explain.js');
const T = require('../words/words.js').t;

function mount(section, store) {
  const list = el('ul', { id: 'explain', class: 'explain' });
  const facts = el('ol', { class: 'model-facts' });
  const aside = el('p', { class: 'model-aside' });
  const intro = el('p', { class: 'hint' });
  const keys = el('span', { class: 'key-hint' }); // no keyboard on a touch screen: hidden there
  const none = el('p');
  const title = el('h2');
  const factsTitle = el('h3');
  section.append(title, intro, list, none, factsTitle, facts, aside);
  let picked = null;

  function label() {
    list.setAttribute('aria-label', T('explainList'));
    keys.textContent = ' ' + T('explainKeys');
    intro.replaceChildren(T('explainIntro'), keys);
    title.textContent = T('explainTitle');
    factsTitle.textContent = T('modelTitle');
  }

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
    if (!li.contains(section.ownerDocument.activeElement) && list.scrollHeight > list.clientHeight) {
      const top = li.offsetTop - list.offsetTop;
      if (top < list.scrollTop || top + li.offsetHeight > list.scrollTop + list.clientHeight)
        list.scrollTop = top - list.clientHeight / 2;
    }
  }

  function draw(state) {
    label();
    const record = state.shown;
    const report = record && record.report;
    section.hidden = !report;
    picked = null;
    if (!report) {
      list.replaceChildren();
      facts.replaceChildren();
      aside.textContent = '';
      return;
    }
    const all = explain.items(report);
    list.replaceChildren(...all.map((it) => {
      const hazard = it.type === 'hazard';
      const data = hazard
        ? { hazard: it.kind, distance: it.distance, instr: it.instr, earlier: it.earlier }
        : { delay: it.delay, instr: it.instr, earlier: it.earlier };
      const tag = el('strong', { text: hazard ? T('tagHazard', { k: it.kind }) : T('tagDelay', { n: it.delay }) });
      return el('li', { tabindex: '-1', class: hazard ? 'item-hazard' : 'item-delay', dataset: data }, [tag, ' ' + it.text]);
    }));
    if (list.firstChild) list.firstChild.tabIndex = 0;
    list.hidden = all.length === 0;
    none.hidden = all.length > 0;
    none.textContent = T('noHazards');
    facts.replaceChildren(...explain.modelFacts(report).map((f) => el('li', { text: f })));
    aside.textContent = explain.modelAside();
    mark(itemFor(state.pick));
  }

  const itemOf = (target) => (target && target.closest ? target.closest('#explain > li') : null);
  list.addEventListener('focusin', (event) => {
    const li = itemOf(event.target);
    if (!li) return;
    for (const other of list.querySelectorAll('li[tabindex="0"]')) if (other !== li) other.tabIndex = -1;
    li.tabIndex = 0;
    store.pick(selOf(li));
  });
  list.addEventListener('focusout', (event) => {
    if (!list.contains(event.relatedTarget)) store.pick(null);
  });
  // The pointer picks an item when it moves onto it, not when the list
  // scrolls under a still pointer (as it does to show a focused item).
  list.addEventListener('mousemove', (event) => {
    const li = itemOf(event.target);
    if (li && li !== picked) store.pick(selOf(li));
  });
  list.addEventListener('mouseleave', () => {
    const focused = itemOf(section.ownerDocument.activeElement);
    store.pick(focused && list.contains(focused) ? selOf(focused) : null);
  });
  list.addEventListener('keydown', (event) => {
    const li = itemOf(event.target);
    if (!li) return;
    const moves = { ArrowDown: li.nextElementSibling, ArrowUp: li.previousElementSibling, Home: list.firstElementChild, End: list.lastElementChild };
    if (!(event.key in moves)) return;
    event.preventDefault();
    if (moves[event.key]) moves[event.key].focus();
  });

  store.on('pick', (state) => mark(itemFor(state.pick)));
  store.on('shown', draw);
  store.on('lang', draw);
  draw(store.state);
}

module.exports = { mount };
