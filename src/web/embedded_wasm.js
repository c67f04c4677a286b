// The single file (assemble.mjs) carries the program's WebAssembly inside
// it, gzipped and then in base64, as `dulmeriWasm`: half the size of the
// WebAssembly in base64 alone. Where it is there, the loader takes the
// program from it instead of fetching dulmeri.wasm; the site's page fetches
// dulmeri.wasm as usual. A failure (a browser without DecompressionStream)
// stops the loader, and the page says so (main_form.js, Module.onAbort).
//
// Linked ahead of the loader's own code (--pre-js); its work runs once the
// page's script has been read, so the page's handlers are set by then.
/* global dulmeriWasm */  // written by assemble.mjs into the single file
if (typeof dulmeriWasm === 'string') {
  Module['instantiateWasm'] = function (imports, receiveInstance) {
    Promise.resolve().then(function () {
      var text = atob(dulmeriWasm);
      var bytes = new Uint8Array(text.length);
      for (var i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
      return new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'))).arrayBuffer();
    }).then(function (program) {
      return WebAssembly.instantiate(program, imports);
    }).then(function (result) {
      receiveInstance(result.instance, result.module);
    }, function (error) {
      try {
        abort(String(error));
      } catch (ignored) { /* abort throws once it has told the page */ }
    });
    return {};  // the exports come later, through receiveInstance
  };
}
