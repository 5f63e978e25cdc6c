// The help window. Pages link to KvHelp with the address of the suite's help
// program and a topic. A topic that names a help page (".htm" or ".html")
// is opened directly; any other topic opens the console's help page at the
// section of that name.

function KvHelp(url, topic) {
	var name = "";
	try {
		name = decodeURIComponent(String(topic || "").replace(/\+/g, " "));
	} catch (e) {
		name = String(topic || "");
	}
	var address;
	if (/\.html?(#.*)?$/i.test(name)) {
		address = name;
	} else if (name != "") {
		address = "../../common/help/admin_help.htm#" +
			name.toLowerCase().replace(/[^a-z0-9]+/g, "-").replace(/^-|-$/g, "");
	} else {
		address = "../../common/help/admin_help.htm";
	}
	var features = "width=720,height=600,resizable=yes,scrollbars=yes";
	var win = window.open(address, "KavriHelpWindow", features);
	if (win) {
		try {
			window.top.helpWin = win;
		} catch (e) {
			win.focus();
		}
		win.focus();
	}
}
