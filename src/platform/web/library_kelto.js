// The browser's side of the web platform layer: scheduling the loop's passes, the score file in
// IndexedDB, the error dialog, downloads and fullscreen's keyboard lock. The C++ side
// (WebPlatform.cpp) calls these; everything here that calls back goes through its exports.
mergeInto(LibraryManager.library, {
  $Kelto__postset: 'addOnPreRun(Kelto.load);',
  $Kelto: {
    timer: null,
    halted: false,
    db: null,
    storeError: '',
    dbName: 'kelto',
    storeName: 'files',

    // Runs the game's passes from the browser's event loop. exit() (a fatal report) ends the game:
    // no pass runs after it, and the report's dialog stays.
    runPasses: function() {
      Kelto.timer = null;
      if (Kelto.halted) return;
      try {
        _KeltoWebPasses();
      } catch (e) {
        Kelto.halted = true;
        if (e instanceof ExitStatus || e === 'unwind') return;
        throw e;
      }
    },

    // Opens the score store and copies its files into the in-memory file system before main
    // runs, so the game reads them with its ordinary file calls. Without IndexedDB (disabled,
    // private windows of some browsers) the game runs and says that scores are not kept.
    load: function() {
      addRunDependency('kelto-store');
      var done = function(reason) {
        if (reason) {
          Kelto.storeError = reason;
          err('kelto: scores are not kept in this browser (' + reason + ')');
        }
        removeRunDependency('kelto-store');
      };
      var request;
      try {
        request = indexedDB.open(Kelto.dbName, 1);
      } catch (e) {
        return done(String(e));
      }
      request.onupgradeneeded = function() { request.result.createObjectStore(Kelto.storeName); };
      request.onerror = function() { done(String(request.error)); };
      request.onblocked = function() { done('the store is blocked by another page'); };
      request.onsuccess = function() {
        Kelto.db = request.result;
        var all = Kelto.db.transaction(Kelto.storeName, 'readonly').objectStore(Kelto.storeName);
        var keys = all.getAllKeys();
        var values = all.getAll();
        values.onsuccess = function() {
          for (var i = 0; i < keys.result.length; ++i) {
            FS.writeFile(keys.result[i], new Uint8Array(values.result[i]));
          }
          done('');
        };
        values.onerror = function() { done(String(values.error)); };
      };
    },
  },

  kelto_schedule_passes__deps: ['$Kelto'],
  kelto_schedule_passes: function(delay) {
    if (Kelto.timer !== null) clearTimeout(Kelto.timer);
    Kelto.timer = setTimeout(Kelto.runPasses, delay);
  },

  // One put in one transaction: IndexedDB keeps either the old value or the new one whatever
  // happens to the page meanwhile. Two pages saving in turn: the later put wins.
  kelto_store_put__deps: ['$Kelto', 'malloc', 'free'],
  kelto_store_put: function(name, data, size, reason, reasonSize) {
    if (!Kelto.db) {
      stringToUTF8(Kelto.storeError || 'no score store', reason, reasonSize);
      return 0;
    }
    var key = UTF8ToString(name);
    var bytes = HEAPU8.slice(data, data + size).buffer;
    var failed = function(error) {
      var text = 'cannot save ' + key + ': ' + error;
      var length = lengthBytesUTF8(text) + 1;
      var copy = _malloc(length);
      stringToUTF8(text, copy, length);
      _KeltoReportError(copy);
      _free(copy);
    };
    try {
      var transaction = Kelto.db.transaction(Kelto.storeName, 'readwrite');
      transaction.objectStore(Kelto.storeName).put(bytes, key);
      transaction.onabort = function() { failed(String(transaction.error)); };
    } catch (e) {
      stringToUTF8(String(e), reason, reasonSize);
      return 0;
    }
    return 1;
  },

  kelto_show_error: function(text) {
    Module.keltoShowError(UTF8ToString(text));
  },

  kelto_offer_download: function(name, data, size) {
    Module.keltoOfferDownload(UTF8ToString(name), HEAPU8.slice(data, data + size));
  },

  kelto_game_ended: function() {
    Module.keltoGameEnded();
  },

  // In fullscreen, Esc is the game's key where the browser lets a page have it (holding it still
  // leaves fullscreen); elsewhere the browser takes it to leave fullscreen.
  kelto_lock_escape: function(on) {
    if (!navigator.keyboard || !navigator.keyboard.lock) return;
    if (on) navigator.keyboard.lock(['Escape']).catch(function() {});
    else navigator.keyboard.unlock();
  },

  // The mix is pulled on the page's own thread as the browser asks for each buffer (2048 frames,
  // about 43 ms): the game and the pull never run at once, so nothing needs locking. Browsers start
  // sound only after a click or a key: the context waits, suspended, for the first of them.
  kelto_sound_open__deps: ['$Kelto'],
  kelto_sound_open: function(reason, reasonSize) {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
      stringToUTF8('this browser has no Web Audio', reason, reasonSize);
      return 0;
    }
    var context = new Context();
    var node = context.createScriptProcessor(2048, 0, 2);
    node.onaudioprocess = function(event) {
      var frames = event.outputBuffer.length;
      var samples = _KeltoPullSound(frames, context.sampleRate) >> 1;
      var left = event.outputBuffer.getChannelData(0);
      var right = event.outputBuffer.getChannelData(1);
      for (var i = 0; i < frames; ++i) {
        left[i] = HEAP16[samples + 2 * i] / 32768;
        right[i] = HEAP16[samples + 2 * i + 1] / 32768;
      }
    };
    node.connect(context.destination);
    var start = function() {
      if (context.state === 'suspended') context.resume();
    };
    ['keydown', 'mousedown', 'touchstart'].forEach(function(type) {
      window.addEventListener(type, start, true);
    });
    Kelto.sound = { context: context, node: node, start: start };
    return 1;
  },

  kelto_sound_close__deps: ['$Kelto'],
  kelto_sound_close: function() {
    if (!Kelto.sound) return;
    ['keydown', 'mousedown', 'touchstart'].forEach(function(type) {
      window.removeEventListener(type, Kelto.sound.start, true);
    });
    Kelto.sound.node.disconnect();
    Kelto.sound.context.close();
    Kelto.sound = null;
  },
});
