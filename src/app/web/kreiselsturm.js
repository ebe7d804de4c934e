// The page's side of Kreiselsturm, linked into Kreiselsturm.js ahead of emscripten's own code:
// the program folder and the saved highscores, the message box, the keyboard, and the end of the
// program, which the page tells about instead of leaving a blank canvas.
var kreiselsturmSeite = (() => {
  const canvas = document.getElementById('canvas');
  const status = document.getElementById('status');
  let letzterFehler = '';

  function ende(text, fehler) {
    status.textContent = text;
    status.className = fehler ? 'fehler' : '';
  }

  // SDL takes the keys from the canvas alone (and keeps the arrows from scrolling the page):
  // the canvas has the focus from the start and again whenever it is clicked.
  canvas.addEventListener('mousedown', () => canvas.focus());
  Module.canvas = canvas;
  Module.preRun = [].concat(Module.preRun || [], () => {
    ENV.SDL_EMSCRIPTEN_KEYBOARD_ELEMENT = '#canvas';
    // The program folder is the packed data (pictures, font); the highscore file in it is a link
    // into /Spielstand, which lives in the browser's storage (IndexedDB). The game reads and
    // writes data.hsc as anywhere, following the link, under the lock below, which brings it up
    // to date first and stores it afterwards.
    FS.mkdirTree('/Kreiselsturm');
    FS.mkdir('/Spielstand');
    FS.mount(IDBFS, {}, '/Spielstand');
    FS.symlink('/Spielstand/data.hsc', '/Kreiselsturm/data.hsc');
    FS.chdir('/Kreiselsturm');
  });
  Module.onRuntimeInitialized = () => {
    ende('');
    canvas.focus();
  };
  Module.printErr = (text) => {
    console.warn(text);
    if (text.startsWith('Kreiselsturm: ')) letzterFehler = text.slice(14);
  };
  Module.onExit = (code) => {
    if (code) ende('Kreiselsturm wurde wegen eines Fehlers beendet: ' + letzterFehler, true);
    else ende('Kreiselsturm wurde beendet. Neu laden, um wieder zu spielen.');
  };
  // A failed download of the program arrives as an event (as from a page opened from the disk).
  Module.onAbort = (what) => ende('Kreiselsturm ist abgestürzt: ' +
    (what instanceof Event ? 'ein Teil der Seite ließ sich nicht laden' : what), true);
  window.addEventListener('error', (e) => ende('Kreiselsturm kann nicht laufen: ' + e.message, true));

  // The message box: modal as on the desktop, the program waits until a button is pressed.
  // Return presses the first button, Escape the last (OK, or Nein).
  Module.messageBox = (titel, text, knöpfe, fehler) => new Promise((fertig) => {
    const box = document.getElementById('box');
    box.className = fehler ? 'fehler' : '';
    box.querySelector('h2').textContent = titel;
    box.querySelector('p').textContent = text;
    const reihe = box.querySelector('div');
    reihe.replaceChildren(...knöpfe.map((name, i) => {
      const knopf = document.createElement('button');
      knopf.textContent = name;
      knopf.onclick = () => { box.close(); canvas.focus(); fertig(i); };
      return knopf;
    }));
    box.oncancel = (e) => { e.preventDefault(); reihe.lastChild.click(); };
    box.showModal();
    reihe.firstChild.focus();
  });

  // The lock around reading, merging and saving the highscores (platform::FileLock): held across
  // every tab of the game where the browser offers Web Locks (not on plain http from elsewhere
  // than this machine), it brings the files in memory up to date from the browser's storage first;
  // letting it go stores them. Resolves 1 when held, 0 when another tab kept it throughout waitMs.
  const gehalten = [];
  Module.lockStorage = (name, waitMs) => new Promise((fertig) => {
    const lesen = () => FS.syncfs(true, (err) => {
      if (err) console.warn('Kreiselsturm: gespeicherte Highscores nicht lesbar:', err);
      fertig(1);
    });
    if (!navigator.locks) {
      gehalten.push(() => {});
      lesen();
      return;
    }
    const abbruch = new AbortController();
    const frist = setTimeout(() => abbruch.abort(), waitMs);
    navigator.locks.request('Kreiselsturm ' + name, { signal: abbruch.signal }, () => {
      clearTimeout(frist);
      return new Promise((freigeben) => { gehalten.push(freigeben); lesen(); });
    }).catch(() => fertig(0));
  });
  Module.unlockStorage = () => new Promise((fertig) => FS.syncfs(false, (err) => {
    if (err) console.warn('Kreiselsturm: Highscores nicht im Browser gespeichert:', err);
    gehalten.pop()();
    fertig();
  }));
})();
