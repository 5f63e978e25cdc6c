// The directory administrator's console: its application object, request
// handlers and routing.
#pragma once

#include "kavrilib.h"

#include "VelmoraAdminApp.h"
#include "VelmoraAdminCommon.h"
#include "VelmoraAdminAccessControl.h"
#include "VelmoraAdminImportData.h"
#include "VelmoraAdminLabel.h"
#include "VelmoraAdminJcardLabel.h"
#include "VelmoraAdminEmpLabel.h"
#include "VelmoraAdminAdditionalLabel.h"
