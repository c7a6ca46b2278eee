// The depth compared: the same program at every depth, as a chart and a table, and the schedule's figures.
(function () {
  'use strict';
})();
