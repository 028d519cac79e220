// The Node runner's files: a path that names no regular file (a pipe, a FIFO, a terminal, a
// device such as /dev/full) takes its writes in order, with no position. Node's writeSync seeks to
// a position it is given, which a pipe refuses.
Module['preRun'] = [function () {
  const nodeFs = require('fs');
  const open = FS.open;
  FS.open = function () {
    const stream = open.apply(this, arguments);
    if (stream.nfd !== undefined && !nodeFs.fstatSync(stream.nfd).isFile()) {
      stream.seekable = false;
    }
    return stream;
  };
}];
