// library_web.js -- the page side of the web backend: the options window as
// an HTML form, the display as a canvas (windowed, or full screen through the
// Fullscreen API), keys and clicks queued for the show's message pump,
// message boxes as an in-page dialog, the wait for the next animation frame,
// Web Audio output from a song player on the audio thread that the page feeds
// ahead, and the deterministic mode that hands chosen frames to the page's
// tests. Every kw* function is called from the backend's C++ (windows.cpp,
// display.cpp, sound.cpp); the await-ing ones suspend the show (asyncify) and
// let the browser run meanwhile.
mergeInto(LibraryManager.library, {
  $KW__postset: 'KW.init();',
  $KW: {
    events: [],        // [window, message, wParam, lParam] for the pump
    nodes: {},         // window handle -> its element
    display: 0,        // the display window's handle while it is open
    fullScreen: false, // the display went full screen
    leaving: false,    // the backend itself leaves full screen (not the viewer)
    boxOpen: false,
    params: null,
    presents: [],      // per present: {at: handed over, shown: the next animation frame, order, running, brightness}
    captures: {},      // deterministic mode: show frame -> RGBA rows, bottom row first
    audio: null,       // the AudioContext, made by the viewer's click
    song: null,        // playing: {node, rate, chunk, ahead, buffer, sent, skipped, played, reportFrame, startFrame}
    orderStarts: [],   // [order, the song frame it starts at]
    playerLoaded: false, // the song player's module is in the audio context
    failures: [],      // the program's failure lines
    frameTime: 0,      // when the animation frame the show last waited for began
    frameInterval: 1000 / 60, // the animation frames' interval lately (ms)

    init: function() {
      KW.params = new URLSearchParams(typeof location != 'undefined' ? location.search : '');
      document.addEventListener('keydown', function(e) { KW.key(e, 0x100); });
      document.addEventListener('keyup', function(e) { KW.key(e, 0x101); });
      document.addEventListener('fullscreenchange', function() {
        if (document.fullscreenElement || !KW.fullScreen) return;
        KW.fullScreen = false;
        if (KW.leaving || !KW.display) return;
        KW.events.push([KW.display, 0x100, 27, 0]);  // the viewer left: as Esc
      });
      window.addEventListener('resize', function() { KW.fitDisplay(); });
      window.kaveld = KW;  // for the page's tests and benchmark
    },
    // Keys go to the display window; the options window's buttons take the
    // keyboard themselves (Space clicks the focused one).
    key: function(e, message) {
      if (!KW.display || KW.boxOpen || !e.keyCode) return;
      if (e.keyCode == 27) e.preventDefault();
      KW.events.push([KW.display, message, e.keyCode, e.repeat ? 1 : 0]);
    },
    stage: function() { return document.getElementById('stage') || document.body; },
    // A window frame: a caption bar with a close box over a client area.
    frame: function(handle, caption, cls) {
      var win = document.createElement('div');
      win.className = 'kw-window ' + cls;
      var bar = document.createElement('div');
      bar.className = 'kw-caption';
      var title = document.createElement('span');
      title.textContent = caption;
      var close = document.createElement('button');
      close.className = 'kw-close';
      close.type = 'button';
      close.setAttribute('aria-label', 'close');
      close.textContent = '\u00d7';
      close.addEventListener('click', function() { KW.events.push([handle, 0x0010, 0, 0]); });
      bar.appendChild(title);
      bar.appendChild(close);
      var client = document.createElement('div');
      client.className = 'kw-client';
      win.appendChild(bar);
      win.appendChild(client);
      KW.stage().appendChild(win);
      KW.nodes[handle] = win;
      return client;
    },
    primeAudio: function() {
      if (KW.params.has('step')) return;
      try {
        if (!KW.audio) KW.audio = new AudioContext({sampleRate: 44100, latencyHint: 'interactive'});
        KW.audio.resume();
      } catch (e) {
        KW.audio = null;
      }
    },
    // The song's player on the audio thread (an AudioWorklet, loaded from
    // this function's source): it plays the chunks the page posts, each at
    // its own place in the song, song frame f at context frame start + f,
    // where start is the block the first chunk came in. What is missing when
    // its time comes is silence; what comes after its time is dropped (never
    // played late), so a stall of the page is a gap and the song goes on at
    // its true position. Every 8 blocks it reports the song frame it has
    // reached and the context frame it did so at.
    songPlayer: function() {
      registerProcessor('kaveld-song', class extends AudioWorkletProcessor {
        constructor() {
          super();
          this.chunks = [];  // {first, frames, samples: left then right}, in song order
          this.start = -1;
          this.blocks = 0;
          this.stopped = false;
          this.port.onmessage = (e) => {
            if (e.data.stop) this.stopped = true;
            else this.chunks.push(e.data);
          };
        }
        process(inputs, outputs) {
          const left = outputs[0][0], right = outputs[0][1] || outputs[0][0], n = left.length;
          left.fill(0);
          right.fill(0);
          if (this.stopped) return false;
          if (this.start < 0) {
            if (!this.chunks.length) return true;
            this.start = currentFrame - this.chunks[0].first;
          }
          const at = currentFrame - this.start;
          while (this.chunks.length && this.chunks[0].first + this.chunks[0].frames <= at) this.chunks.shift();
          for (const c of this.chunks) {
            if (c.first >= at + n) break;
            const from = Math.max(at, c.first), to = Math.min(at + n, c.first + c.frames);
            left.set(c.samples.subarray(from - c.first, to - c.first), from - at);
            right.set(c.samples.subarray(c.frames + from - c.first, c.frames + to - c.first), from - at);
          }
          if (++this.blocks % 8 == 1) this.port.postMessage({played: at + n, frame: currentFrame + n, start: this.start});
          return true;
        }
      });
    },
    // The song frame the player plays now: its last report, advanced by the
    // audio clock since (0 before it started).
    playing: function() {
      var s = KW.song;
      if (!s || s.startFrame < 0) return 0;
      return s.played + Math.max(0, KW.audio.currentTime * s.rate - s.reportFrame);
    },
    // Renders and posts the song until `ahead` is sent beyond what plays now.
    // Where the player has passed what was sent (the page stalled), the song
    // is rendered on to its true position unheard, so that what is sent next
    // comes in time.
    feed: function() {
      var s = KW.song;
      if (!s) return;
      var playing = KW.playing();
      if (s.startFrame >= 0 && s.sent < playing + s.chunk) {
        var target = Math.ceil(playing) + s.chunk;
        while (s.sent < target) {
          var skip = Math.min(s.chunk, target - s.sent);
          _webSoundRender(s.buffer, skip);
          s.sent += skip;
          s.skipped += skip;
        }
      }
      while (s.sent < playing + s.ahead) {
        var frames = s.chunk;
        _webSoundRender(s.buffer, frames);
        var interleaved = HEAPF32.subarray(s.buffer >> 2, (s.buffer >> 2) + 2 * frames);
        var samples = new Float32Array(2 * frames);
        for (var i = 0; i < frames; i++) {
          samples[i] = interleaved[2 * i];
          samples[frames + i] = interleaved[2 * i + 1];
        }
        s.node.port.postMessage({first: s.sent, frames: frames, samples: samples}, [samples.buffer]);
        s.sent += frames;
      }
    },
    stopSong: function() {
      var s = KW.song;
      KW.song = null;
      if (!s) return;
      s.node.port.onmessage = null;
      s.node.port.postMessage({stop: true});
      s.node.disconnect();
    },
    // With the URL parameter `probe`: the mean brightness (0..255) of the frame just drawn.
    brightness: function() {
      var gl = GL.currentContext && GL.currentContext.GLctx;
      if (!gl) return 0;
      var w = gl.drawingBufferWidth, h = gl.drawingBufferHeight, pixels = new Uint8Array(w * h * 4), sum = 0;
      gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
      for (var i = 0; i < pixels.length; i += 4) sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
      return sum / (3 * w * h);
    },
    // The windowed display's canvas scaled to fit the page (unless the viewer
    // wants it at size); its window's frame (border and caption) stays as it is.
    fitDisplay: function() {
      var win = KW.nodes[KW.display], canvas = win && win.kwCanvas;
      if (!canvas) return;
      var frameW = win.offsetWidth - canvas.offsetWidth, frameH = win.offsetHeight - canvas.offsetHeight;
      var page = document.documentElement;
      var scale = win.kwAtSize ? 1 : Math.min(1, (page.clientWidth - frameW) / canvas.width,
                                                 (page.clientHeight - frameH) / canvas.height);
      scale = Math.max(scale, 0.05);
      canvas.style.width = canvas.width * scale + 'px';
      canvas.style.height = canvas.height * scale + 'px';
      var box = win.querySelector('.kw-size');
      box.textContent = win.kwAtSize ? 'fit' : '1:1';
      box.title = win.kwAtSize ? 'scale the display to fit the page' : 'the display at its size (the page scrolls)';
      box.hidden = !win.kwAtSize && scale == 1;
    },
    latency: function() { return (KW.audio.baseLatency || 0) + (KW.audio.outputLatency || 0); },
  },

  kwParam__deps: ['$KW'],
  kwParam: function(name, out, size) {
    var value = KW.params.get(UTF8ToString(name));
    if (value === null) return 0;
    stringToUTF8(value, out, size);
    return 1;
  },

  // The viewer's clicks and keys wait in the queue while the page is still
  // making the show's data (index.html): OK starts no show before its files
  // are all written.
  kwNextEvent__deps: ['$KW'],
  kwNextEvent: function(out) {
    if (Module['kaveldMakingData']) return 0;
    var e = KW.events.shift();
    if (!e) return 0;
    for (var i = 0; i < 4; i++) HEAP32[(out >> 2) + i] = e[i];
    return 1;
  },

  kwFocus__deps: ['$KW'],
  kwFocus: function() {
    if (KW.display) return KW.display;
    var active = document.activeElement;
    for (var handle in KW.nodes)
      if (KW.nodes[handle] === active || KW.nodes[handle].contains(active)) return +handle;
    return 0;
  },

  kwCreateOptionsWindow__deps: ['$KW'],
  kwCreateOptionsWindow: function(handle, caption, w, h) {
    var client = KW.frame(handle, UTF8ToString(caption), 'kw-options');
    var win = KW.nodes[handle];
    win.style.width = w + 'px';
    win.style.height = h + 'px';
    KW.nodes[handle] = win;
    win.kwClient = client;
    return 1;
  },

  // Check boxes and radio buttons never change their own mark: a click is
  // only queued, and the program sets the marks.
  kwCreateButton__deps: ['$KW'],
  kwCreateButton: function(handle, parent, kind, caption, x, y, w, h) {
    var owner = KW.nodes[parent];
    if (!owner || !owner.kwClient) return 0;
    var text = UTF8ToString(caption), node;
    if (kind == 0) {
      node = document.createElement('button');
      node.type = 'button';
      node.textContent = text;
    } else {
      node = document.createElement('label');
      var box = document.createElement('input');
      box.type = kind == 2 ? 'checkbox' : 'radio';
      node.appendChild(box);
      node.appendChild(document.createTextNode(text));
      node.kwBox = box;
    }
    node.className = 'kw-button';
    node.style.left = x + 'px';
    node.style.top = y + 'px';
    node.style.width = w + 'px';
    node.style.height = h + 'px';
    node.addEventListener('click', function(e) {
      if (kind != 0) e.preventDefault();  // no mark of its own, and no second click through the label
      if (kind == 0) KW.primeAudio();      // the show's OK is such a click: sound may start from it
      var second = e.detail == 2 && kind == 4;
      KW.events.push([handle, second ? 0x0203 : 0x0202, 0, 0]);
    });
    owner.kwClient.appendChild(node);
    KW.nodes[handle] = node;
    return 1;
  },

  kwSetCheck__deps: ['$KW'],
  kwSetCheck: function(handle, checked) {
    var node = KW.nodes[handle];
    if (node && node.kwBox) node.kwBox.checked = !!checked;
  },

  kwDestroy__deps: ['$KW'],
  kwDestroy: function(handle) {
    var node = KW.nodes[handle];
    delete KW.nodes[handle];
    if (handle == KW.display) KW.display = 0;
    if (node && node.parentNode) node.parentNode.removeChild(node);
  },

  // The display: a canvas of exactly w x h, in a window with caption and
  // close box, or (full screen) alone on black, scaled to fit. A window
  // larger than the page is shown scaled down to fit it (aspect kept) until
  // the viewer asks for it at size (the caption's size box), when the page
  // scrolls to each of its edges instead.
  kwCreateDisplay__deps: ['$KW'],
  kwCreateDisplay: function(handle, caption, fullScreen, w, h) {
    var canvas = document.createElement('canvas');
    canvas.id = 'kaveld-display-' + handle;
    canvas.width = w;
    canvas.height = h;
    canvas.tabIndex = 0;
    if (fullScreen) {
      var holder = document.createElement('div');
      holder.className = 'kw-fullscreen';
      holder.appendChild(canvas);
      KW.stage().appendChild(holder);
      KW.nodes[handle] = holder;
    } else {
      KW.frame(handle, UTF8ToString(caption), 'kw-display').appendChild(canvas);
      var win = KW.nodes[handle], size = document.createElement('button');
      size.className = 'kw-size';
      size.type = 'button';
      size.addEventListener('click', function() {
        win.kwAtSize = !win.kwAtSize;
        KW.fitDisplay();
        canvas.focus({preventScroll: true});
      });
      win.querySelector('.kw-caption').insertBefore(size, win.querySelector('.kw-close'));
      win.kwCanvas = canvas;
    }
    document.body.classList.add('kw-running');
    KW.display = handle;
    KW.fitDisplay();
    canvas.focus({preventScroll: true});
    return 1;
  },

  kwEnterFullScreen__deps: ['$KW'],
  kwEnterFullScreen__sig: 'ii',
  kwEnterFullScreen: function(handle) {
    return Asyncify.handleSleep(function(wakeUp) {
      var node = KW.nodes[handle];
      if (!node || !node.requestFullscreen) return wakeUp(0);
      node.requestFullscreen({navigationUI: 'hide'}).then(function() {
        KW.fullScreen = true;
        wakeUp(1);
      }, function() { wakeUp(0); });
    });
  },

  kwLeaveFullScreen__deps: ['$KW'],
  kwLeaveFullScreen: function() {
    if (!document.fullscreenElement) return;
    KW.leaving = true;
    document.exitFullscreen().catch(function() {});
  },

  kwMessageBox__deps: ['$KW'],
  kwMessageBox__sig: 'vii',
  kwMessageBox: function(text, caption) {
    var message = UTF8ToString(text), title = UTF8ToString(caption);
    return Asyncify.handleSleep(function(wakeUp) {
      var box = document.getElementById('kw-box');
      if (!box || !box.showModal) {
        console.error('[' + title + '] ' + message);
        return wakeUp();
      }
      box.querySelector('.kw-caption span').textContent = title;
      box.querySelector('.kw-text').textContent = message;
      KW.boxOpen = true;
      box.addEventListener('close', function() {
        KW.boxOpen = false;
        wakeUp();
      }, {once: true});
      box.showModal();
      box.querySelector('.kw-ok').focus();
    });
  },

  // A frame drawn: logged (and with `probe`, measured) before anything yields.
  kwHandOver__deps: ['$KW'],
  kwHandOver: function(order, running) {
    var entry = {at: performance.now(), shown: 0, order: order, running: running};
    if (KW.params.has('probe')) entry.brightness = KW.brightness();
    if (KW.presents.length < 100000) KW.presents.push(entry);
  },

  // Lets the browser show the frame: waits for the next animation frame.
  kwWaitFrame__deps: ['$KW'],
  kwWaitFrame__sig: 'v',
  kwWaitFrame: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      requestAnimationFrame(function(time) {
        var last = KW.presents[KW.presents.length - 1];
        if (last && !last.shown) last.shown = time;
        var interval = time - KW.frameTime;
        if (interval > 0 && interval < 100) KW.frameInterval += (interval - KW.frameInterval) / 8;
        KW.frameTime = time;
        wakeUp();
      });
    });
  },

  // The time of the animation frame the last wait ended at (ms, the page's clock).
  kwFrameTime__deps: ['$KW'],
  kwFrameTime__sig: 'd',
  kwFrameTime: function() { return KW.frameTime; },

  // Deterministic mode: the frame just drawn, read before anything else touches it.
  kwCaptureFrame__deps: ['$KW'],
  kwCaptureFrame: function(frame, w, h) {
    var gl = GL.currentContext && GL.currentContext.GLctx;
    if (!gl) return;
    var pixels = new Uint8Array(w * h * 4);
    gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    KW.captures[frame] = pixels;
  },

  // The output's rate once it runs and the song player is loaded; 0 without
  // Web Audio, -1 when it has not started within two seconds of being asked
  // (no sound device, say), -2 when the player does not load.
  kwAudioOpen__deps: ['$KW'],
  kwAudioOpen__sig: 'i',
  kwAudioOpen: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      if (!KW.audio) KW.primeAudio();
      if (!KW.audio || !KW.audio.audioWorklet) return wakeUp(0);
      var done = false;
      var answer = function(value) {
        if (done) return;
        done = true;
        wakeUp(value);
      };
      var load = function() {
        if (KW.audio.state != 'running') return answer(-1);
        if (KW.playerLoaded) return answer(KW.audio.sampleRate);
        var url = URL.createObjectURL(new Blob(['(' + KW.songPlayer.toString() + ')();'], {type: 'text/javascript'}));
        KW.audio.audioWorklet.addModule(url).then(function() {
          KW.playerLoaded = true;
          answer(KW.audio.sampleRate);
        }, function() { answer(-2); }).finally(function() { URL.revokeObjectURL(url); });
      };
      setTimeout(function() { answer(-1); }, 2000);
      if (KW.audio.state == 'running') load();
      else KW.audio.resume().then(load, load);
    });
  },

  kwAudioStart__deps: ['$KW'],
  kwAudioStart: function(buffer, chunk, aheadMs) {
    KW.stopSong();
    var node = new AudioWorkletNode(KW.audio, 'kaveld-song',
                                    {numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2]});
    var s = {node: node, rate: KW.audio.sampleRate, chunk: chunk, ahead: Math.round(aheadMs / 1000 * KW.audio.sampleRate),
             buffer: buffer, sent: 0, skipped: 0, played: 0, reportFrame: 0, startFrame: -1};
    node.port.onmessage = function(e) {
      s.played = e.data.played;
      s.reportFrame = e.data.frame;
      s.startFrame = e.data.start;
      KW.feed();  // reports come on in a hidden tab too: the music goes on
    };
    node.connect(KW.audio.destination);
    KW.song = s;
    KW.orderStarts = [];
    KW.feed();
  },

  // The song frame heard while the frame being drawn is seen: what the
  // player has played, less the latencies the browser reports, at the middle
  // of that frame's time on screen (from the next animation frame to the one
  // after). The page renders the song only between frames, as the player's
  // reports come in, never within the show's frame.
  kwAudioHeardFrame__deps: ['$KW'],
  kwAudioHeardFrame__sig: 'd',
  kwAudioHeardFrame: function() {
    if (!KW.song) return 0;
    var seenIn = Math.max(0, KW.frameTime + 1.5 * KW.frameInterval - performance.now()) / 1000;
    return Math.max(0, KW.playing() + (seenIn - KW.latency()) * KW.song.rate);
  },

  kwAudioLatencyNs__deps: ['$KW'],
  kwAudioLatencyNs__sig: 'd',
  kwAudioLatencyNs: function() { return KW.audio ? KW.latency() * 1e9 : 0; },

  kwAudioOrderStart__deps: ['$KW'],
  kwAudioOrderStart: function(order, frame) {
    if (KW.song && KW.orderStarts.length < 1000) KW.orderStarts.push([order, frame]);
  },

  kwAudioStop__deps: ['$KW'],
  kwAudioStop: function() { KW.stopSong(); },

  kwAudioClose__deps: ['$KW'],
  kwAudioClose: function() {
    KW.stopSong();
    if (KW.audio) KW.audio.close();
    KW.audio = null;
    KW.playerLoaded = false;
  },
});
