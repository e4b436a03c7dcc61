// Resource ids of the user tools' dialogs (Options, Find, Add To Favorites,
// Cookie Details) and of the About box. The .rc compiler reads this file
// too, so it holds nothing but #define lines.

// Options: the confirmation switch and the date format.
#define IDD_QM_OPTIONS 226
#define IDC_QM_DISABLE_CONFIRMATION 238
#define IDC_QM_DATE_TEMPLATE 239
#define IDC_QM_DATE_SEPARATOR 240
#define IDC_QM_DATE_SAMPLE 241

// Find on this Tab.
#define IDD_QM_FIND 153
#define IDC_QM_FIND_TEXT 400
#define IDC_QM_FIND_NEXT 401
#define IDC_QM_FIND_ALL 402
#define IDC_QM_FIND_WHOLE 403
#define IDC_QM_FIND_CASE 404
#define IDC_QM_FIND_NAMES 406
#define IDC_QM_FIND_VALUES 408

// Add To Favorites.
#define IDD_QM_ADD_FAVORITE 139
#define IDC_QM_FAVORITE_DESCRIPTION 1004
#define IDC_QM_FAVORITE_URL 1005
#define IDC_QM_FAVORITE_ICON 1008
#define IDC_QM_FAVORITE_BROWSE 1009

// Cookie Details.
#define IDD_QM_COOKIE_DETAILS 214
#define IDC_QM_COOKIE_TEXT 202

// The About box, its banner picture and its icon.
#define IDD_QM_ABOUT 150
#define IDB_QM_ABOUT_BANNER 219
#define IDI_QM_ABOUT_ICON 216
#define IDC_QM_ABOUT_BANNER 416
#define IDC_QM_ABOUT_PRODUCT 413
#define IDC_QM_ABOUT_HOME 1001
#define IDC_QM_ABOUT_SUPPORT 1002
