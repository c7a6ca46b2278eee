// The page's host for the simulator's WebAssembly module (a wasm32-wasi
// reactor): the few WASI calls the module imports, served over files kept
// in memory under one preopened root folder "/". Gives start.
'use strict';

const ERR = { badf: 8, exist: 20, inval: 28, noent: 44 };
const [DIR, FILE] = [3, 4]; // file types
const [CREATE, EXCLUSIVE, TRUNCATE, APPEND] = [1, 4, 8, 1]; // path_open's oflags, then fdflags

const liveFile = (files, name) => (files.has(name) && !files.get(name).gone ? files.get(name) : null);

// The calls over a module's memory (memory() gives it once started) and
// its files: name -> {data, size, gone}, data a Uint8Array at least size
// long; a file gone is absent, its data kept for the next file of its name.
function wasiCalls(memory, files) {
  const blank = () => ({ file: { data: new Uint8Array(0), size: 0 }, pos: 0, append: false });
  const fds = [blank(), blank(), blank(), { dir: true }];
  // The memory's views, taken again when it has grown (a new buffer).
  let [buffer, dataView, u8] = [null, null, null];
  function view() {
    if (buffer !== memory().buffer) [buffer, dataView, u8] = [memory().buffer, new DataView(memory().buffer), new Uint8Array(memory().buffer)];
    return dataView;
  }
  const bytes = (at, n) => (view(), u8.subarray(at, at + n));
  const decoder = new TextDecoder();
  const nameAt = (at, n) => decoder.decode(bytes(at, n)).replace(/^(\.?\/)+/, '');
  const stream = (fd) => (fds[fd] && fds[fd].file ? fds[fd] : null);
  const isDir = (fd) => fds[fd] && fds[fd].dir;

  // Stores at `out` the filestat of a file, or of the root folder (null).
  function fileStat(out, file) {
    bytes(out, 64).fill(0);
    view().setUint8(out + 16, file ? FILE : DIR);
    view().setBigUint64(out + 32, BigInt(file ? file.size : 0), true);
    return 0;
  }

  // Calls fn(stream, at, length) on each buffer of an iovec list; stores
  // the bytes done at `out`.
  function eachBuffer(fd, iovs, count, out, fn) {
    const s = stream(fd);
    if (!s) return ERR.badf;
    let done = 0;
    for (let k = 0; k < count; k++) done += fn(s, view().getUint32(iovs + 8 * k, true), view().getUint32(iovs + 8 * k + 4, true));
    view().setUint32(out, done, true);
    return 0;
  }

  return {
    fd_write: (fd, iovs, count, out) => eachBuffer(fd, iovs, count, out, (s, at, n) => {
      const f = s.file;
      if (s.append) s.pos = f.size;
      if (s.pos + n > f.data.length) {
        const data = new Uint8Array(Math.max(s.pos + n, 2 * f.data.length, 4096));
        data.set(f.data.subarray(0, f.size));
        f.data = data;
      }
      if (s.pos > f.size) f.data.fill(0, f.size, s.pos);
      f.data.set(bytes(at, n), s.pos);
      s.pos += n;
      f.size = Math.max(f.size, s.pos);
      return n;
    }),
    fd_read: (fd, iovs, count, out) => eachBuffer(fd, iovs, count, out, (s, at, n) => {
      const got = s.file.data.subarray(Math.min(s.pos, s.file.size), Math.min(s.pos + n, s.file.size));
      bytes(at, got.length).set(got);
      s.pos += got.length;
      return got.length;
    }),
    fd_seek(fd, offset, whence, out) {
      const s = stream(fd);
      const pos = s && [0, s.pos, s.file.size][whence] + Number(offset);
      if (!s || !(pos >= 0)) return s ? ERR.inval : ERR.badf;
      view().setBigUint64(out, BigInt((s.pos = pos)), true);
      return 0;
    },
    fd_close: (fd) => (fds[fd] ? ((fds[fd] = undefined), 0) : ERR.badf),
    fd_renumber: (fd, to) => (fds[fd] && fds[to] ? (([fds[to], fds[fd]] = [fds[fd], undefined]), 0) : ERR.badf),
    fd_fdstat_get(fd, out) {
      if (!fds[fd]) return ERR.badf;
      const v = view();
      v.setUint32(out, fds[fd].dir ? DIR : FILE, true); // and no flags
      v.setBigInt64(out + 8, -1n, true); // every right, for itself
      v.setBigInt64(out + 16, -1n, true); // and for what it opens
      return 0;
    },
    fd_fdstat_set_flags: (fd) => (fds[fd] ? 0 : ERR.badf),
    fd_filestat_get: (fd, out) => (fds[fd] ? fileStat(out, fds[fd].file) : ERR.badf),
    path_filestat_get(dirFd, lookup, at, n, out) {
      if (!isDir(dirFd)) return ERR.badf;
      const name = nameAt(at, n);
      const file = liveFile(files, name);
      return name === '' ? fileStat(out, null) : file ? fileStat(out, file) : ERR.noent;
    },
    // fd 3, the one preopened folder: "/" (a name 1 byte long).
    fd_prestat_get: (fd, out) => (fd === 3 ? (view().setUint32(out, 0, true), view().setUint32(out + 4, 1, true), 0) : ERR.badf),
    fd_prestat_dir_name: (fd, at, n) => (fd === 3 && n >= 1 ? ((bytes(at, 1)[0] = 0x2f), 0) : ERR.badf),
    path_open(dirFd, lookup, at, n, how, rights, inherited, flags, out) {
      if (!isDir(dirFd)) return ERR.badf;
      const name = nameAt(at, n);
      let file = liveFile(files, name);
      if (!file) {
        if (!(how & CREATE)) return ERR.noent;
        files.set(name, (file = Object.assign(files.get(name) || { data: new Uint8Array(0) }, { size: 0, gone: false })));
      } else if (how & EXCLUSIVE) return ERR.exist;
      if (how & TRUNCATE) file.size = 0;
      let fd = 4;
      while (fds[fd]) fd++;
      fds[fd] = { file, pos: 0, append: (flags & APPEND) !== 0 };
      view().setUint32(out, fd, true);
      return 0;
    },
    proc_exit: (status) => {
      throw new Error('the module exited with status ' + status);
    },
  };
}

// Starts a compiled module: resolves to {exports, files}, files the
// module's files by name (read gives a file's bytes, valid until the module
// runs again, or null; write sets one; clear removes all). Rejects a
// module that imports a call not served here.
async function start(module) {
  const store = new Map();
  let instance = null;
  const calls = wasiCalls(() => instance.exports.memory, store);
  for (const { module: from, name } of WebAssembly.Module.imports(module)) {
    if (from !== 'wasi_snapshot_preview1' || !Object.prototype.hasOwnProperty.call(calls, name))
      throw new Error(`the simulator's module imports ${from}.${name}, which the page does not serve`);
  }
  instance = await WebAssembly.instantiate(module, { wasi_snapshot_preview1: calls });
  if (instance.exports._initialize) instance.exports._initialize();
  // The files' buffers stay from one run to the next: new ones would cost more than the run.
  const files = {
    read: (name, file = liveFile(store, name)) => (file ? file.data.subarray(0, file.size) : null),
    write(name, data) {
      const file = store.get(name) || { data: new Uint8Array(0) };
      if (file.data.length < data.length) file.data = new Uint8Array(data.length);
      file.data.set(data);
      store.set(name, Object.assign(file, { size: data.length, gone: false }));
    },
    clear: () => store.forEach((file) => Object.assign(file, { size: 0, gone: true })),
  };
  return { exports: instance.exports, files };
}

module.exports = { start };
