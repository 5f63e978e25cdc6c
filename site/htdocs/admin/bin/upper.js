// Copied whole into the upper frame of the import page: builds the tag of the
// current column from the chosen category and sub-categories and puts it
// into the column's field in the lower frame ("lower").

function kvLowerForm() {
	var lower = window.parent && window.parent.frames["lower"];
	if (!lower || !lower.document) {
		return null;
	}
	return lower.document.forms["createform"] || null;
}

function kvComposeTag() {
	var form = document.forms["versitform"];
	if (!form) {
		return "";
	}
	var tag = "";
	var categories = form.elements["category"];
	if (categories && typeof categories.length == "undefined") {
		categories = [categories];
	}
	for (var i = 0; categories && i < categories.length; i++) {
		if (categories[i].checked) {
			tag = categories[i].value;
		}
	}
	if (tag == "") {
		return "";
	}
	var subs = form.elements["subcategory"];
	if (subs && typeof subs.length == "undefined") {
		subs = [subs];
	}
	for (var j = 0; subs && j < subs.length; j++) {
		if (subs[j].checked) {
			tag += ";" + subs[j].value;
		}
	}
	return tag;
}

function kvPutTag() {
	var lower = kvLowerForm();
	var column = window.parent ? window.parent.kvCurrentField : undefined;
	if (!lower || column == null) {
		return;
	}
	var field = lower.elements["versittag_" + column];
	if (field) {
		field.value = kvComposeTag();
	}
}

// A field chosen in the list becomes the current column.
function changeFieldInfo() {
	var form = document.forms["versitform"];
	var list = form.elements["field"];
	var value = list.options[list.selectedIndex].value;
	var match = /^Field ([0-9]+)$/.exec(value);
	if (!match) {
		return;
	}
	var column = parseInt(match[1], 10) - 1;
	if (window.parent) {
		window.parent.kvCurrentField = column;
	}
	var lower = kvLowerForm();
	if (lower && lower.elements["versittag_" + column]) {
		lower.elements["versittag_" + column].focus();
	}
}

function changeCategory() {
	kvPutTag();
}

function changeSubCategory() {
	kvPutTag();
}
