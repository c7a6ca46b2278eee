// The page's scripts are CommonJS modules; the site's copy of each is
// wrapped (tools/compact.mjs) as hsDefine('<its path>', function (require,
// module, exports) { ... }), all of them joined after this one into the
// site's page.js (tools/join.mjs). This keeps them and gives each its require, by
// a path relative to its own; a module runs when first required. The page's
// tests load the site's modules under Node the same way.
(function (root) {
  'use strict';

  const defined = {};
  const loaded = {};

  function resolve(from, path) {
    const parts = from.split('/').slice(0, -1);
    for (const part of path.split('/')) {
      if (part === '..') parts.pop();
      else if (part !== '.') parts.push(part);
    }
    return parts.join('/');
  }

  function load(path) {
    if (!(path in loaded)) {
      if (!(path in defined)) throw new Error('no module ' + path);
      const module = { exports: {} };
      loaded[path] = module;
      defined[path]((p) => load(resolve(path, p)), module, module.exports);
    }
    return loaded[path].exports;
  }

  root.hsDefine = (path, factory) => {
    defined[path] = factory;
  };
  root.hsRequire = load;
})(globalThis);
