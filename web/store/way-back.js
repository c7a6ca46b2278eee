// The way back ("Previous files"): the pairs of files the editors held before
// something replaced them. It keeps the last KEEP pairs to leave the editors,
// none equal to another or to the editors, in the order they come back.
// Gives KEEP, next, leave, stepBack, merge, keepTab.
'use strict';

const KEEP = 10;

// list: [{config, program, at, tab}] in the order "Previous files" brings
// them back, the last first. at: when the pair left the editors, a count that
// only grows, carried through storage so that tabs share it. tab: the tab
// whose editors held the pair when another tab had to write over them.

const next = (list) => list.reduce((most, p) => Math.max(most, p.at || 0), 0) + 1;

function drop(list, pair, same) {
  for (let k = list.length - 1; k >= 0; k--) if (same(list[k], pair)) list.splice(k, 1);
}

// No pair equal to the editors, and past KEEP the pairs that left them longest ago go.
function tidy(list, editors, same) {
  drop(list, editors, same);
  while (list.length > KEEP) {
    let oldest = 0;
    list.forEach((p, k) => {
      if (p.at < list[oldest].at) oldest = k;
    });
    list.splice(oldest, 1);
  }
}

// pair left the editors, which now hold `editors`: it comes back first.
function leave(list, pair, editors, same) {
  drop(list, pair, same);
  list.push({ config: pair.config, program: pair.program, at: next(list) });
  tidy(list, editors, same);
}

// The pair "Previous files" puts in the editors (the last of the list), or
// null. The pair it moves away from goes to the far end, newest of all, so
// that pressed again and again every kept pair comes back in turn and the
// next replacement never pushes out what was just in the editors.
function stepBack(list, editors, same) {
  const pair = list.pop();
  if (!pair) return null;
  const at = Math.max(next(list), (pair.at || 0) + 1);
  drop(list, editors, same);
  list.unshift({ config: editors.config, program: editors.program, at });
  tidy(list, pair, same);
  return { config: pair.config, program: pair.program };
}

// Takes in the way back another tab kept: every pair not here yet, at the
// far end; of the pairs a tab tagged as its editors, the newest. own: this
// tab's tag, whose pairs are older states of the editors: left out.
function merge(list, others, editors, same, own) {
  for (const o of others) {
    if (o.tab === own) continue;
    const mine = o.tab ? list.find((p) => p.tab === o.tab) : null;
    if (mine) {
      if (o.at > mine.at) Object.assign(mine, { config: o.config, program: o.program, at: o.at });
      continue;
    }
    const here = list.find((p) => same(p, o));
    if (here) here.at = Math.max(here.at, o.at);
    else list.unshift(Object.assign({ config: o.config, program: o.program, at: o.at }, o.tab ? { tab: o.tab } : {}));
  }
  tidy(list, editors, same);
}

// Another tab's editors, about to be written over: kept as that tab's one
// entry (tagged tab, newest of all), unless the list holds them already.
function keepTab(list, tab, pair, editors, same) {
  const k = list.findIndex((p) => p.tab === tab);
  if (k >= 0) list.splice(k, 1);
  if (list.some((p) => same(p, pair))) return;
  list.push({ config: pair.config, program: pair.program, at: next(list), tab });
  tidy(list, editors, same);
}

module.exports = { KEEP, next, leave, stepBack, merge, keepTab };
