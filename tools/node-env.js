// Linked into the test programs built for Node: the C library's getenv()
// sees the process's environment (Emscripten starts it with a fixed one).
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  for (var name in process.env) ENV[name] = process.env[name];
});
