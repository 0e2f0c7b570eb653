'use strict';
// Launch configurations of type "zorm": what F5 starts, the checks, and the
// assembly settings a source takes from its zorm.json.

const { test } = require('node:test');
const assert = require('node:assert');
const {
  projectLaunchConfiguration, defaultLaunchConfiguration, checkLaunchConfiguration,
} = require('../src/debugConfiguration');

const launch = (more) => ({ type: 'zorm', request: 'launch', name: 'run', ...more });

test('F5 without a launch configuration debugs the open source', () => {
  assert.deepStrictEqual(defaultLaunchConfiguration({}, '/w/a.asm'), {
    configuration: launch({ name: 'Assemble and debug the current file', stopOnEntry: true, source: '/w/a.asm' }),
  });
  assert.match(defaultLaunchConfiguration({}, undefined).error, /Open a ZORM source/);
  assert.deepStrictEqual(defaultLaunchConfiguration(launch(), '/w/a.asm'), { configuration: launch({ source: '/w/a.asm' }) });
  assert.match(defaultLaunchConfiguration(launch(), undefined).error, /"program" \(an object file\) or "source"/);
  assert.deepStrictEqual(defaultLaunchConfiguration(launch({ program: 'a.bin' }), '/w/a.asm'), { configuration: launch({ program: 'a.bin' }) });
});

test('attributes outside the contract are refused', () => {
  assert.match(checkLaunchConfiguration(launch({ program: 'a', source: 'b' }), () => undefined).error, /either/);
  assert.match(checkLaunchConfiguration(launch({ program: 'a', machine: 'msx' }), () => undefined).error, /"cpm" or "bare"/);
  assert.match(checkLaunchConfiguration(launch({ source: 'a', processor: 'z8' }), () => undefined).error, /"processor"/);
  assert.match(checkLaunchConfiguration({ ...launch({ program: 'a' }), request: 'attach' }, () => undefined).error, /launch/);
});

test('a source takes the settings its configuration leaves out from zorm.json', () => {
  const settings = { folder: '/w', main: 'm.asm', processor: 'z180', defines: ['D'], includePaths: ['inc'], options: ['-l'] };
  const projectFor = (file) => (file === '/w/m.asm' ? settings : undefined);
  assert.deepStrictEqual(checkLaunchConfiguration(launch({ source: '/w/m.asm', processor: 'z80' }), projectFor), {
    configuration: launch({ source: '/w/m.asm', processor: 'z80', defines: ['D'], includePaths: ['/w/inc'] }),
  });
  assert.deepStrictEqual(checkLaunchConfiguration(launch({ program: '/w/m.bin' }), projectFor), { configuration: launch({ program: '/w/m.bin' }) });
  assert.deepStrictEqual(projectLaunchConfiguration(settings), launch({
    name: 'Assemble and debug m.asm', source: '/w/m.asm', processor: 'z180', defines: ['D'], includePaths: ['/w/inc'], stopOnEntry: true,
  }));
});
