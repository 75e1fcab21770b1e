#include "QPNCalendar.h"

#include <objc/ClassBuilder.h>

Class QPNCalendar::classObject() {
  static Class cls = objc::ClassBuilder<QPNCalendar, NSObject>("QPNCalendar")
                         .method<&QPNCalendar::title>("title")
                         .method<&QPNCalendar::setTitle>("setTitle:")
                         .method<&QPNCalendar::uuid>("uuid")
                         .method<&QPNCalendar::setUuid>("setUuid:")
                         .method<&QPNCalendar::storeName>("storeName")
                         .method<&QPNCalendar::setStoreName>("setStoreName:")
                         .ivar<&QPNCalendar::_title>("_title")
                         .ivar<&QPNCalendar::_uuid>("_uuid")
                         .ivar<&QPNCalendar::_storeName>("_storeName")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(QPNCalendar);
