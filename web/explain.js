// The explanations: every hazard and every bubble of the run in words, and how the model works.
(function () {
  'use strict';
})();
