// The page around the game: the start screen with its loading bar, full screen, userData/ kept in
// IndexedDB, the last replay to download, and the console for the game's log. The query string picks a
// bot instead of the keyboard: ?autopilot&seed=N&until=victory (as fast as the page allows),
// ?benchmark (the bot at 60 frames a second, the frames' work timed); frames=N and lose=N as well.
'use strict';

(function () {
  const startScreen = document.getElementById('start');
  const bar = document.querySelector('#bar div');
  const prompt = document.getElementById('prompt');
  const message = document.getElementById('message');
  const tools = document.getElementById('tools');
  const canvas = document.getElementById('canvas');
  const query = new URLSearchParams(location.search);
  const bot = query.has('autopilot') || query.has('benchmark');

  function showMessage(text) {
    message.textContent = text;
    message.hidden = false;
    startScreen.hidden = false;
    prompt.style.visibility = 'hidden';
  }

  // The simulator's options, from the query string.
  function gameArguments() {
    if (!bot) return [];
    const args = ['--autopilot'];
    for (const name of ['seed', 'until', 'frames', 'lose']) {
      if (query.get(name)) args.push('--' + name, query.get(name));
    }
    if (query.has('benchmark')) {
      args.push('--realtime');
      if (!query.get('frames')) args.push('--frames', '1800');
    }
    return args;
  }

  function webGlMissing() {
    try {
      const probe = document.createElement('canvas');
      return !(probe.getContext('webgl') || probe.getContext('experimental-webgl'));
    } catch (e) {
      return true;
    }
  }

  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    showMessage('This browser cannot run WebAssembly, which Duelfall needs. Please use a current ' +
      'version of Firefox, Chrome, Edge or Safari.');
    return;
  }
  if (webGlMissing()) {
    showMessage('This browser has WebGL switched off or unsupported, and Duelfall draws with it. ' +
      'Turn on hardware acceleration in the browser\'s settings, or try another browser.');
    return;
  }

  // userData/ as the game sees it is in memory; these copies keep it in IndexedDB. One copy at a
  // time: one asked for meanwhile follows the running one.
  let syncing = false;
  let syncAgain = false;
  function persistUserData() {
    if (syncing) {
      syncAgain = true;
      return;
    }
    syncing = true;
    Module.FS.syncfs(false, function (error) {
      syncing = false;
      if (error) console.error('Duelfall: userData could not be kept in the browser\'s storage: ' + error);
      if (syncAgain) {
        syncAgain = false;
        persistUserData();
      }
    });
  }

  function mountUserData() {
    const FS = Module.FS;
    FS.mkdir('/userData');
    FS.mount(FS.filesystems.IDBFS, {}, '/userData');
    Module.addRunDependency('userData');
    FS.syncfs(true, function (error) {
      if (error) console.error('Duelfall: userData could not be read from the browser\'s storage: ' + error);
      Module.removeRunDependency('userData');
    });
  }

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else if (document.documentElement.requestFullscreen) {
      document.documentElement.requestFullscreen().catch(function (error) {
        console.error('Duelfall: no full screen: ' + error);
      });
    }
  }

  function downloadLastReplay(event) {
    event.preventDefault();
    const path = '/userData/replays/last.replay';
    let text;
    try {
      text = Module.FS.readFile(path);
    } catch (e) {
      alert('No replay yet: one is written every ten seconds of a fight, and at each game over and victory.');
      return;
    }
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([text], {type: 'application/octet-stream'}));
    link.download = 'duelfall-last.replay';
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
  }

  let started = false;
  function start() {
    if (started) return;
    started = true;
    window.removeEventListener('keydown', startOnKey, true);
    startScreen.hidden = true;
    tools.hidden = false;
    canvas.focus();
    Module.callMain(gameArguments());
  }
  function startOnKey(event) {
    if (!prompt.style.visibility || prompt.style.visibility === 'hidden') return;
    event.preventDefault();
    event.stopPropagation();
    start();
  }

  // Full screen is the page's: a browser grants it only inside the handler of the player's own key or
  // click, which the game's frame never runs in. Seen here first, the keys never reach the game.
  window.addEventListener('keydown', function (event) {
    const enter = event.key === 'Enter' && event.altKey;
    if (event.key === 'F11' || enter) {
      event.preventDefault();
      event.stopPropagation();
      if (!event.repeat) toggleFullscreen();
    }
  }, true);
  window.addEventListener('keydown', startOnKey, true);
  startScreen.addEventListener('click', function () {
    if (prompt.style.visibility === 'visible') start();
  });
  document.getElementById('fullscreen').addEventListener('click', function (event) {
    toggleFullscreen();
    event.currentTarget.blur();
  });
  document.getElementById('replay').addEventListener('click', downloadLastReplay);
  document.addEventListener('visibilitychange', function () {
    if (document.hidden && started) persistUserData();
  });
  // The canvas follows the browser's window (and full screen): the game sees a resized window.
  document.addEventListener('fullscreenchange', function () {
    window.dispatchEvent(new Event('resize'));
  });

  // The canvas keeps its drawing once shown, as a window does: a pause starts from the last frame's
  // picture, read back from it.
  const getContext = canvas.getContext.bind(canvas);
  canvas.getContext = function (type, attributes) {
    return getContext(type, Object.assign({}, attributes, {preserveDrawingBuffer: true}));
  };

  window.Module = {
    canvas: canvas,
    print: function (text) { console.log(text); },
    printErr: function (text) {
      console.error(text);
      if (text.startsWith('Error! ')) showMessage(text.substring(7));
    },
    setStatus: function (text) {
      const parts = /\((\d+)\/(\d+)\)/.exec(text);
      if (parts) bar.style.width = (100 * Number(parts[1]) / Number(parts[2])) + '%';
    },
    preRun: [mountUserData],
    persistUserData: persistUserData,
    onRuntimeInitialized: function () {
      bar.style.width = '100%';
      if (bot) {
        prompt.textContent = 'The autopilot plays';
        start();
      } else {
        prompt.style.visibility = 'visible';
      }
    },
    onExit: function (status) {
      tools.hidden = false;
      if (bot) return;
      showMessage(status === 0 ? 'The game has ended. Reload the page to play again.'
        : 'The game stopped (status ' + status + '): the browser\'s console says why.');
    },
    onAbort: function (what) {
      showMessage('The game stopped: ' + what + '. The browser\'s console may say more.');
    },
  };

  const script = document.createElement('script');
  script.src = 'duelfall.js';
  script.onerror = function () { showMessage('The game\'s files could not be loaded. Reload the page to try again.'); };
  document.body.appendChild(script);
})();
