// An external script of the dump page; its element has a source address and no text.
var fromLibrary = 'library';
