// Copied whole into the lower frame of the import page: remembers the column
// being tagged (for the upper frame) and sends the tags for conversion.

function changeCurrField(column) {
	if (window.parent) {
		window.parent.kvCurrentField = column;
	}
	var upper = window.parent && window.parent.frames["upper"];
	if (!upper || !upper.document) {
		return;
	}
	var form = upper.document.forms["versitform"];
	var list = form && form.elements["field"];
	if (list) {
		list.selectedIndex = column + 1 < list.options.length ? column + 1 : 0;
	}
}

// Trims the tags (no blanks, no line breaks) and asks for at least one before
// the form is sent.
function submitAfterSanitizing() {
	var form = document.forms["createform"];
	if (!form) {
		return;
	}
	var count = parseInt(form.elements["versittags"].value, 10) || 0;
	var tagged = 0;
	for (var i = 0; i < count; i++) {
		var field = form.elements["versittag_" + i];
		if (!field) {
			continue;
		}
		field.value = field.value.replace(/[\r\n]+/g, "").replace(/^\s+|\s+$/g, "");
		if (field.value != "") {
			tagged++;
		}
	}
	if (tagged == 0) {
		alert("Please give at least one column a tag.");
		return;
	}
	form.submit();
}
