// The test knows each call's line and column in this file: keep the layout.
console.log('log text', 42);
  console.info('info text');
    console.warn('warn text');
console.error('error text');
console.debug('debug text');
setTimeout(function () { report('console-done'); }, 0);
Promise.reject(new Error('rejected'));
throw new Error('uncaught');
