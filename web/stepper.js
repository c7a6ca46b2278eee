// The cycle stepper: steps through either schedule one cycle at a time and shows what each stage holds.
(function () {
  'use strict';
})();
