// Resource numbers of KVXRDTCT.
#pragma once

#define IDR_TYPELIB 1
#define IDS_FORMAT_ERROR_CAPTION 38200   // caption of the format driver's error message
#define IDS_FORMAT_ERROR_BODY 38201      // its body
#define IDS_FORMAT_LABEL_LINE 38202      // the body with the volume label to set
#define IDS_FORMAT_EMPTY_LABEL_LINE 38203  // the body when the label is empty
