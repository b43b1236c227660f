// The game's main() yields in its waits (ASYNCIFY); this Emscripten does not exit when such a
// main finally returns, so the return is caught here and ends the program as a native exit does.
(function() {
  var rewind = Asyncify.doRewind;
  Asyncify.doRewind = function(ptr) {
    var isMain = Asyncify.getDataRewindFunc(ptr) === Module['asm'][Asyncify.mainExport()];
    var ret = rewind(ptr);
    if (isMain && !Asyncify.currData) {
      try {
        exit(ret);
      } catch (e) {
        if (!(e instanceof ExitStatus)) throw e;
      }
    }
    return ret;
  };
  Asyncify.mainExport = function() {
    for (var k in Module['asm'])
      if (Module['asm'][k] === Module['_main'] || Module['asm'][k] === _main) return k;
    return 'main';
  };
})();
