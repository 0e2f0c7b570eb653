'use strict';
// A scratch folder holding the given files ({ relative name: text }).

const fs = require('fs');
const os = require('os');
const path = require('path');

function workspace(files, prefix = 'zorm-workspace-') {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), prefix));
  for (const [name, text] of Object.entries(files)) {
    fs.mkdirSync(path.dirname(path.join(root, name)), { recursive: true });
    fs.writeFileSync(path.join(root, name), text);
  }
  return root;
}

module.exports = { workspace };
