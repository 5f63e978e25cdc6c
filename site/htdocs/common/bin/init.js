// Copied whole into pages that keep track of the feature in use: the name of
// the current feature (for the help window) and the open help window.
var CurrentProg = "";
var helpWin = null;
