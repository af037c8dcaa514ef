// The page around the show: checks what the browser offers, downloads the program and its data
// with a progress bar, decodes the music, and starts the show on Play (or draws one frame for
// ?frame=MS). Everything is fetched relative to this page, so any static server and folder do.
(function () {
  'use strict';

  var root = document.documentElement;
  var $ = function (id) { return document.getElementById(id); };
  var params = new URLSearchParams(location.search);
  var frameParam = params.get('frame');
  var frameMode = frameParam !== null;
  var times = window.oyunTimes = {};  // milliseconds since navigation, for measuring the start
  var sync = window.oyunSync = { frames: 0, minDrift: Infinity, maxDrift: -Infinity, lastShowMs: 0, lastAudioMs: 0 };
  var started = false;
  var playAgain = null;

  function state(value) { root.dataset.oyun = value; }

  function problem(text) {
    $('start').hidden = true;
    $('end').hidden = true;
    $('problem-text').textContent = text;
    $('problem').hidden = false;
    state('failed');
    console.error('oyun: ' + text);
  }

  function showMessage(line) {
    var item = document.createElement('li');
    item.textContent = line;
    $('messages').appendChild(item);
    while ($('messages').children.length > 4) $('messages').removeChild($('messages').firstChild);
  }

  function webgl2() {
    try { return !!document.createElement('canvas').getContext('webgl2'); } catch (e) { return false; }
  }

  function megabytes(bytes) { return (bytes / 1048576).toFixed(1) + ' MB'; }

  function setProgress(done, total) {
    var percent = total > 0 ? Math.min(100, Math.floor(done * 100 / total)) : 0;
    $('progress-bar').style.width = percent + '%';
    $('progress').setAttribute('aria-valuenow', String(percent));
    // The music is decoded once it is in; that takes the browser a moment more.
    $('progress-text').textContent = done < total ? 'Loading ' + megabytes(done) + ' of ' + megabytes(total)
                                                  : 'Preparing the music…';
  }

  // One file as bytes, counting what arrives into `counted`.
  function download(url, counted, onProgress) {
    return fetch(url).then(function (response) {
      if (!response.ok) throw new Error(url + ': ' + response.status + ' ' + response.statusText);
      if (!response.body || !response.body.getReader) {
        return response.arrayBuffer().then(function (buffer) { counted(buffer.byteLength); onProgress(); return buffer; });
      }
      var reader = response.body.getReader();
      var parts = [];
      var length = 0;
      function pump() {
        return reader.read().then(function (step) {
          if (step.done) {
            var bytes = new Uint8Array(length);
            var at = 0;
            parts.forEach(function (part) { bytes.set(part, at); at += part.length; });
            return bytes.buffer;
          }
          parts.push(step.value);
          length += step.value.length;
          counted(step.value.length);
          onProgress();
          return pump();
        });
      }
      return pump();
    });
  }

  // RFC 7845: the identification header keeps the rate the music was made at; decoded at that
  // rate the music is what the desktop plays.
  function opusInputRate(bytes) {
    var view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    var end = Math.min(bytes.length, 4096) - 19;
    for (var i = 0; i <= end; i++) {
      if (String.fromCharCode.apply(null, bytes.subarray(i, i + 8)) === 'OpusHead') {
        var rate = view.getUint32(i + 12, true);
        return rate >= 8000 && rate <= 192000 ? rate : 48000;
      }
    }
    return 48000;
  }

  function decodeSound(buffer) {
    var rate = opusInputRate(new Uint8Array(buffer));
    var context = new OfflineAudioContext(2, 1, rate);
    return new Promise(function (resolve, reject) {
      context.decodeAudioData(buffer.slice(0), resolve, function (error) {
        reject(new Error('the browser cannot decode the music (' + (error && error.message || 'no reason given') + ')'));
      });
    });
  }

  // The decoded sound as the show's 16-bit PCM, handed to the program under the path it opens.
  function provideSound(path, audio) {
    var channels = Math.min(audio.numberOfChannels, 2);
    var frames = audio.length;
    var pcm = Module._malloc(frames * channels * 2);
    var heap = new Int16Array(Module.HEAP16.buffer, pcm, frames * channels);
    for (var c = 0; c < channels; c++) {
      var data = audio.getChannelData(c);
      for (var i = 0; i < frames; i++) {
        var v = Math.round(data[i] * 32768);
        heap[i * channels + c] = v > 32767 ? 32767 : (v < -32768 ? -32768 : v);
      }
    }
    var name = Module.stringToNewUTF8 ? Module.stringToNewUTF8(path) : allocateString(path);
    var ok = Module._oyun_web_provide_sound(name, audio.sampleRate, channels, frames, pcm);
    Module._free(pcm);
    Module._free(name);
    if (!ok) throw new Error('the program refused the music');
  }

  function allocateString(text) {
    var size = Module.lengthBytesUTF8(text) + 1;
    var at = Module._malloc(size);
    Module.stringToUTF8(text, at, size);
    return at;
  }

  // The music's position as the page's audio output schedules it, at this moment.
  function audioPositionMs() {
    var audio = Module.oyunAudio;
    return audio && audio.following && audio.pairs.length > 0 ? audio.positionMs() : null;
  }

  var pageHooks = {
    onShowEvent: function (event) {
      if (event === 'playing') {
        // The GPU draws after the program has given its commands: a pixel read back waits until
        // the first frame is done, which is when it can be on the screen.
        var gl = $('canvas').getContext('webgl2');
        if (gl) gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
        times.firstFrame = performance.now();
        state('playing');
      } else if (event === 'drawn') {
        // The frame is on the canvas once the browser has shown the next one.
        requestAnimationFrame(function () { requestAnimationFrame(function () { state('drawn'); }); });
      } else if (event === 'ended' || event === 'failed') {
        if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
        if (frameMode || event === 'failed') {
          problem('The show stopped on an error; the browser\'s console says which.');
          return;
        }
        $('end').hidden = false;
        $('again').focus();
        state('ended');
      }
    },
    onShowFrame: function (elapsed) {
      var audio = audioPositionMs();
      sync.lastShowMs = elapsed;
      if (audio === null || elapsed <= 0) return;
      var drift = elapsed - audio;
      sync.frames++;
      sync.lastAudioMs = audio;
      if (drift < sync.minDrift) sync.minDrift = drift;
      if (drift > sync.maxDrift) sync.maxDrift = drift;
    },
    onDrawTime: function (ms) { times.drawMs = ms; },
    waitForPlayAgain: function (wakeUp) { playAgain = wakeUp; }
  };

  function play() {
    if (root.dataset.oyun === 'starting' || root.dataset.oyun === 'playing') return;
    $('start').hidden = true;
    $('end').hidden = true;
    $('canvas').focus();
    times.play = performance.now();
    state('starting');
    if (!started) {
      started = true;
      Module.callMain([]);
    } else if (playAgain) {
      var wake = playAgain;
      playAgain = null;
      wake();
    }
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(function () {});
    } else if (document.fullscreenEnabled) {
      $('player').requestFullscreen().catch(function (error) { showMessage('Full screen refused: ' + error.message); });
    }
  }

  function start(manifest, files, sounds) {
    window.Module = Module;
    Module.oyunPage = pageHooks;
    Module.oyunShowMessage = showMessage;
    Module.preRun = [function () {
      manifest.data.forEach(function (entry, i) {
        var folder = entry.path.substring(0, entry.path.lastIndexOf('/'));
        if (folder) Module.FS.mkdirTree('/' + folder);
        Module.FS.writeFile('/' + entry.path, new Uint8Array(files[i]));
      });
    }];
    Module.onRuntimeInitialized = function () {
      times.compiled = performance.now();
      try {
        sounds.forEach(function (sound) { provideSound(sound.path, sound.audio); });
      } catch (error) {
        problem(error.message);
        return;
      }
      times.ready = performance.now();
      if (frameMode) {
        state('drawing');
        var repeat = params.get('repeat');
        Module.callMain(['--frame', frameParam].concat(repeat === null ? [] : ['--repeat', repeat]));
        return;
      }
      $('progress-text').textContent = 'Ready';
      $('play').disabled = false;
      $('play').focus();
      state('ready');
    };
    Module.onAbort = function (what) { problem('The program stopped: ' + what); };
    var script = document.createElement('script');
    script.src = manifest.script.url;
    script.onerror = function () { problem('Cannot load ' + manifest.script.url); };
    document.body.appendChild(script);
  }

  var Module = {
    noInitialRun: true,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    canvas: $('canvas')
  };

  function load() {
    state('loading');
    fetch('files.json').then(function (response) {
      if (!response.ok) throw new Error('files.json: ' + response.status);
      return response.json();
    }).then(function (manifest) {
      var total = manifest.wasm.size + manifest.script.size;
      manifest.data.forEach(function (entry) { total += entry.size; });
      var done = 0;
      var counted = function (n) { done += n; };
      var onProgress = function () { setProgress(done, total); };
      setProgress(0, total);
      var wasm = download(manifest.wasm.url, counted, onProgress).then(function (bytes) { Module.wasmBinary = bytes; });
      // The script is fetched here for the progress bar; the browser's cache serves it again.
      var script = download(manifest.script.url, counted, onProgress);
      var sounds = [];
      var data = Promise.all(manifest.data.map(function (entry) {
        return download(entry.url, counted, onProgress).then(function (bytes) {
          if (!entry.sound) return bytes;
          return decodeSound(bytes).then(function (audio) {
            times.decoded = performance.now();
            sounds.push({ path: entry.path, audio: audio });
            return bytes;
          });
        });
      }));
      return Promise.all([data, wasm, script]).then(function (results) {
        times.loaded = performance.now();
        start(manifest, results[0], sounds);
      });
    }).catch(function (error) { problem('Loading failed: ' + error.message); });
  }

  if (frameMode) document.body.classList.add('frame-mode');
  $('play').addEventListener('click', play);
  $('again').addEventListener('click', play);
  $('fullscreen').addEventListener('click', toggleFullScreen);
  document.addEventListener('keydown', function (event) {
    if (frameMode || event.ctrlKey || event.altKey || event.metaKey) return;
    if (event.code === 'KeyF') toggleFullScreen();
    // The show ends on Escape held at a frame; where frames are slow a quick press would fall
    // between two, so the page also closes the show's window, as its close box would.
    if (event.code === 'Escape' && root.dataset.oyun === 'playing' && Module._oyun_web_close_window) {
      Module._oyun_web_close_window();
    }
  });

  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    problem('It needs WebAssembly, which this browser lacks or has turned off.');
  } else if (!webgl2()) {
    problem('It needs WebGL 2, which this browser lacks or has turned off (or its graphics driver is blocked). ' +
            'Try an up-to-date Firefox, Chrome, Edge or Safari, with hardware acceleration on.');
  } else if (!window.fetch || !window.OfflineAudioContext) {
    problem('It needs a browser with fetch and the Web Audio API.');
  } else {
    load();
  }
})();
