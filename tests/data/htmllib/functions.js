// Script file for the copied-function tests.
Function Capital() {
  return 1;
}
function  helloWorld(a) {
  var x = a;
  if (x) {
    x = 2;
  }
}
function other{
}
function unclosed()
  return 3;
