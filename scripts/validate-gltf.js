// Validates glTF files with the Khronos glTF validator (npm package gltf-validator).
// Usage: node scripts/validate-gltf.js PACKAGE_DIR FILE...
// Prints one line per file with its counts and every error; exits 1 when any file has an
// error, 2 when the validator cannot be loaded.
'use strict';
const fs = require('fs');
let validator;
try {
  validator = require(process.argv[2]);
} catch (e) {
  console.error('cannot load the glTF validator from ' + process.argv[2]);
  process.exit(2);
}
(async () => {
  let errors = 0;
  for (const file of process.argv.slice(3)) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {maxIssues: 200});
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos`);
    for (const m of issues.messages)
      if (m.severity === 0) console.log(`  error ${m.code} at ${m.pointer}: ${m.message}`);
    errors += issues.numErrors;
  }
  process.exit(errors ? 1 : 0);
})();
