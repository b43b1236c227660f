// The page's side of the start and the end, run before the game's own JavaScript: the query
// string becomes the command line, demos are fetched into the file system before main() runs,
// stdout and stderr become console lines and the page's log, and the end leaves a page that
// says so. Under Node the command line is the process's, and demo files are read from disk.
(function() {
  var page = typeof document != 'undefined';
  var node = typeof process == 'object' && typeof require == 'function' && !page;
  var el = function(id) { return page ? document.getElementById(id) : null; };

  // Options the page takes from its query string, with the command line's names.
  var SWITCHES = ['fire-toggle', 'no-pause-unfocused', 'pause-unfocused', 'smooth', 'integer-scale',
                  'nosound', 'no-gamepad', 'gamepad', 'low-cpu', 'playdemo-continue', 'help', 'version'];
  var VALUES = ['lang', 'volume', 'map', 'hash-frames', 'playdemo', 'timedemo', 'record'];
  var RECORD_PATH = '/tarvellin.demo';

  function setState(s) {
    if (page) document.body.dataset.state = s;
  }
  function setStatus(text, html) {
    var s = el('status');
    if (!s) return;
    if (text) delete document.body.dataset.quiet; else document.body.dataset.quiet = '';
    if (html) s.innerHTML = text; else s.textContent = text;
  }
  function logLine(text) {
    var log = el('log');
    if (log) log.appendChild(document.createTextNode(text + '\n'));
  }

  // Files beside the script: under Node the data file too, whatever the working directory.
  Module['locateFile'] = function(path, prefix) {
    return node ? require('path').join(__dirname, path) : (prefix || '') + path;
  };

  Module['print'] = function(text) {
    console.log(text);
    logLine(text);
  };
  Module['printErr'] = function(text) {
    console.error(text);
    logLine(text);
  };

  // A query string as argv: a switch with no value is on; "record" without a file records
  // to the file the download offers.
  function queryArguments(search) {
    var args = [], demos = [];
    var params = new URLSearchParams(search);
    params.forEach(function(value, name) {
      if (name == 'record') {
        args.push('--record', value && value != '1' ? value : RECORD_PATH);
        Module['recordPath'] = args[args.length - 1];
      } else if (name == 'playdemo' || name == 'timedemo') {
        var path = demoPath(value);
        demos.push({url: value, path: path});
        args.push('--' + name, path);
      } else if (VALUES.indexOf(name) >= 0 || (value !== '' && SWITCHES.indexOf(name) < 0)) {
        args.push('--' + name + '=' + value);
      } else {
        args.push('--' + name);
      }
    });
    return {args: args, demos: demos};
  }

  // Where a fetched demo lives in the file system: its URL when that is a plain relative path,
  // so that messages name it as the player wrote it; else /demos/ and its last part.
  function demoPath(url) {
    if (url && !/^[a-z]+:|^\/|(^|\/)\.\.(\/|$)|[?#]/i.test(url)) return url;
    var last = url.replace(/[?#].*$/, '').split('/').pop() || 'demo';
    return '/demos/' + last;
  }

  function putFile(path, bytes) {
    var dir = path.substring(0, path.lastIndexOf('/'));
    if (dir) FS.mkdirTree(dir);
    FS.writeFile(path, bytes);
  }

  // The end of the run: the exit status the native build would return.
  function ended(status, message) {
    if (Module['tarvellinEnded']) return;
    Module['tarvellinEnded'] = true;
    if (message) Module['printErr'](message);
    if (typeof window != 'undefined') window.tarvellinStatus = status;
    if (!page) return;
    var again = '<a id="play-again" href="' + location.pathname + location.search + '">Play again</a>';
    if (status == 0)
      setStatus('The game has ended. ' + again, true);
    else
      setStatus('The game has ended with status ' + status + (message ? ': ' + escapeHtml(message) : '') +
                '. ' + again, true);
    offerRecording();
    var bar = el('progress');
    if (bar) bar.hidden = true;
    setState('ended');
  }
  function escapeHtml(s) {
    return String(s).replace(/[&<>"]/g, function(c) {
      return {'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'}[c];
    });
  }
  function offerRecording() {
    var path = Module['recordPath'];
    if (!path) return;
    var bytes;
    try {
      FS.chmod(path, 420);  // 0644: the page's umask (Emscripten's is 0777) left it unreadable
      bytes = FS.readFile(path);
    } catch (e) {
      return;
    }
    var a = document.createElement('a');
    a.id = 'demo-download';
    a.download = 'tarvellin.demo';
    a.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
    a.textContent = 'Download the recorded demo (' + bytes.length + ' bytes)';
    var box = el('status');
    (box ? box : document.body).appendChild(document.createTextNode(' '));
    (box ? box : document.body).appendChild(a);
  }
  Module['onExit'] = function(status) { ended(status); };

  // Loading: the progress bar follows the data file's download.
  Module['setStatus'] = function(text) {
    if (!page || !text) return;
    var m = /\((\d+(?:\.\d+)?)\/(\d+)\)/.exec(text);
    var bar = el('progress');
    if (m && bar) {
      bar.max = +m[2];
      bar.value = +m[1];
    }
    if (!Module['tarvellinEnded'] && document.body.dataset.state == 'loading')
      setStatus('Loading… ' + text.replace(/\s*\(.*\)$/, ''));
  };

  var demos = [];
  if (page) {
    setState('loading');
    setStatus('Loading…');
    var q = queryArguments(location.search);
    Module['arguments'] = q.args;
    demos = q.demos;
  }

  Module['preRun'] = Module['preRun'] || [];
  Module['preRun'].push(function() {
    if (node) {
      // The command line names files on disk: demos to play are copied in, paths kept.
      var fs = require('fs');
      var args = process.argv.slice(2);
      for (var i = 0; i < args.length; ++i) {
        var m = /^--(playdemo|timedemo)(=(.*))?$/.exec(args[i]);
        if (!m) continue;
        var path = m[2] ? m[3] : args[i + 1];
        if (!path) continue;
        var abs = require('path').resolve(path);
        try {
          putFile(require('path').posix.resolve(FS.cwd(), path), fs.readFileSync(abs));
        } catch (e) {
          // not there: the game says it cannot read it, as natively
        }
      }
      return;
    }
    // The player's language is the browser's (Emscripten's LANG), but a replay shows the
    // original texts unless lang= asks, so its frame hashes are a native replay's in the C locale.
    if (demos.length && !new URLSearchParams(location.search).has('lang')) ENV['LANG'] = 'C';
    demos.forEach(function(d) {
      addRunDependency('demo ' + d.url);
      fetch(d.url, {cache: 'no-store'}).then(function(r) {
        if (!r.ok) throw new Error(r.status + ' ' + r.statusText);
        return r.arrayBuffer();
      }).then(function(buf) {
        putFile(d.path, new Uint8Array(buf));
        removeRunDependency('demo ' + d.url);
      }).catch(function(e) {
        // As the native build's "cannot read the demo" (status 66); the game never starts, as
        // its run dependency stays.
        ended(66, "tarvellin: cannot read the demo '" + d.url + "': " + (e && e.message ? e.message : e));
      });
    });
  });
  Module['onRuntimeInitialized'] = function() {
    Module['tarvellinStarted'] = true;
    if (Module['tarvellinEnded']) return;
    setState('running');
    setStatus(Module['soundBlocked'] ? 'Click or press a key for sound.' : '');
    var bar = el('progress');
    if (bar) bar.hidden = true;
  };
  Module['onSoundBlocked'] = function() {
    Module['soundBlocked'] = true;
    if (!Module['tarvellinEnded']) setStatus('Click or press a key for sound.');
  };
  Module['onSoundStarted'] = function() {
    if (!Module['soundBlocked']) return;
    Module['soundBlocked'] = false;
    if (!Module['tarvellinEnded'] && page && document.body.dataset.state == 'running') setStatus('');
  };
  // A failure outside the game (the data file missing, the WebAssembly refused) ends the page.
  Module['onAbort'] = function(what) {
    ended(1, 'tarvellin: the game stopped: ' + what);
  };
  // Under Node a data file that does not load leaves nothing to run: say so, as the native
  // build's missing data folder does, rather than ending with status 0.
  if (node) {
    process.on('beforeExit', function() {
      if (Module['tarvellinStarted'] || Module['tarvellinEnded']) return;
      ended(66, 'tarvellin: cannot load the pictures and sounds (tarvellin.data beside tarvellin.js, ' +
                'looked for from the working directory)');
      process.exit(66);
    });
  }
  if (page) {
    window.addEventListener('error', function(e) {
      var m = e && e.message ? e.message : String(e);
      if (/unwind/.test(m)) return;  // the main loop's own unwinding
      if (!Module['tarvellinEnded'] && document.body.dataset.state == 'loading')
        ended(66, 'tarvellin: cannot load the pictures and sounds (tarvellin.data): ' + m.replace(/^Uncaught (Error: )?/, ''));
    });
  }
})();
