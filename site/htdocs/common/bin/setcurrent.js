// Tracking of the help window and the feature in use across the frames.

function nullifyHelpWin() {
	try {
		window.top.helpWin = null;
	} catch (e) {
		return;
	}
}

// Closes the help window when the console's frame set is left.
function onUnloadInit() {
	try {
		if (window.top.helpWin && !window.top.helpWin.closed) {
			window.top.helpWin.close();
		}
		window.top.helpWin = null;
	} catch (e) {
		return;
	}
}
